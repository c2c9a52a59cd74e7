// Waiting in a browser page. The game's loop blocks, the page must not: while
// the game sleeps or waits for input, and after every flip, the page gets its
// turn (Emscripten's ASYNCIFY unwinds the game's stack and resumes it later).
// A wait ends at its time or, when the game waits for input, at the player's
// next input, so an idle game costs next to nothing; a hidden page holds
// every wait until it is shown again (the page's Module.waitForPage).
#include "platform/System.h"

#include <SDL.h>
#include <emscripten.h>

EM_ASYNC_JS(void, WaitForPage, (uint32_t milliseconds, int forInput), {
    await Module.waitForPage(milliseconds, forInput);
});

// A page has no signals: the slice only lets a note over the picture go in
// time, give or take half a second; every slice is the page's work.
const uint32_t System::kWaitSliceMilliseconds = 500;
// About 0.37 s a fill at 44.1 kHz: the music is one long loop, and every fill is the page's work.
const uint16_t System::kSoundFrames = 16384;

void System::Pause(uint32_t milliseconds)
{
    WaitForPage(milliseconds, 0);
}

bool System::WaitForEvent(uint32_t milliseconds)
{
    SDL_PumpEvents();
    if (!SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        WaitForPage(milliseconds, 1);
    SDL_PumpEvents();
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void System::FrameFlipped()
{
    WaitForPage(0, 0);  // the page shows the frame now, as a screen would
}
