// What the page gives the game in place of a desktop: a canvas the page sizes,
// its storage as the working folder, and the font it carries.
#include "platform/System.h"

#include <SDL.h>
#include <emscripten.h>

const bool System::kOwnWindow = false;
const bool System::kReplacesSoftwareGL = false;

bool System::HasGpu()
{
    return true;  // the browser decides how it draws
}

// The canvas stays as long as the page does.
void System::WatchDisplay(SDL_Window*) {}

bool System::DisplayLost()
{
    return false;
}

// The page's script makes a folder of the browser's persistent storage the
// working folder before the game starts; the pictures and the music are in
// the page's read-only package.
bool System::ChooseGameFolders(GameFolders* folders)
{
    folders->dataRoot = "/ortelanka-data/";
    return true;
}

// A browser has no fontconfig: the page carries DejaVu Sans Bold, the face
// fontconfig gives the game's fonts on Debian (the game asks for bold only).
std::string System::FontFile(const char*, int)
{
    return "/ortelanka-fonts/DejaVuSans-Bold.ttf";
}

// A page gets no signals; closing its tab simply ends it.
void System::CatchQuitRequests() {}

bool System::QuitRequestCaught()
{
    return false;
}

// Standard output and error go to the browser's console.
bool System::ReachConsole()
{
    return true;
}

// The page shows the canvas at a size of its choosing and tells it here, in
// device pixels: the game's window takes that size (and, told of it as a
// desktop's window is, draws its picture again), so the canvas's pixels are
// the screen's own.
extern "C" EMSCRIPTEN_KEEPALIVE void ortelanka_shown_size(int width, int height)
{
    for (uint32_t id = 1; id < 64; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (!window)
            continue;
        SDL_SetWindowSize(window, width, height);
        return;
    }
}
