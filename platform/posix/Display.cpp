// The display on a POSIX desktop: a window of the game's own.
#include "platform/System.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <chrono>
#include <thread>
#include <unistd.h>

const bool System::kOwnWindow = true;
const bool System::kReplacesSoftwareGL = true;

namespace {

volatile bool displayLost = false;

// Xlib's own answer to a lost server is to end the program on the spot; these
// two take its place and let the game end as it ends for a closed window.
int OnDisplayError(::Display*)
{
    displayLost = true;
    return 0;
}

// A call that waits for the server's answer (SDL taking the window down when
// a quit request and the loss come together) would spin for ever without
// one: whatever is left of the ending gets half a minute, then the game ends.
constexpr std::chrono::seconds kEndingAfterLoss{30};

void OnDisplayLost(::Display*, void*)
{
    static bool timed = false;
    displayLost = true;
    if (timed)
        return;
    timed = true;
    std::thread([] {
        std::this_thread::sleep_for(kEndingAfterLoss);
        _exit(0);
    }).detach();
}

}  // namespace

void System::WatchDisplay(SDL_Window* window)
{
    displayLost = false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        XSetIOErrorHandler(OnDisplayError);
        XSetIOErrorExitHandler(info.info.x11.display, OnDisplayLost, nullptr);
    }
}

bool System::DisplayLost()
{
    return displayLost;
}

// The kernel's GPU devices; a machine without them could only rasterise GL in software.
bool System::HasGpu()
{
    return access("/dev/dri", F_OK) == 0;
}
