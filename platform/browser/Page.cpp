// What the page gives the game in place of a desktop: a canvas the page sizes,
// its storage as the working folder, and the font it carries.
#include "platform/System.h"

#include <SDL.h>
#include <emscripten.h>

const bool System::kOwnWindow = false;
const bool System::kReplacesSoftwareGL = false;

// Whether the browser's WebGL rasterises in software (Mesa's llvmpipe in
// Firefox, SwiftShader in Chromium, on a machine without a usable GPU), asked
// of a canvas of its own: the game's canvas then gets the 2D path before any
// WebGL context exists on it (one that holds a WebGL context has no 2D
// one), which such a browser shows several times faster.
EM_JS(int, WebGLInSoftware, (), {
    try {
        var gl = document.createElement('canvas').getContext('webgl');
        if (!gl)
            return 0;  // no WebGL at all: SDL's GL renderer fails, and the 2D path follows
        var named = gl.getExtension('WEBGL_debug_renderer_info');
        var renderer = String(gl.getParameter(named ? named.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
        var lose = gl.getExtension('WEBGL_lose_context');
        if (lose)
            lose.loseContext();
        return /llvmpipe|softpipe|swiftshader|software/i.test(renderer) ? 1 : 0;
    } catch (error) {
        return 0;
    }
});

bool System::HasGpu()
{
    return !WebGLInSoftware();
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
