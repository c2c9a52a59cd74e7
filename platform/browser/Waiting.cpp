// Waiting in a browser page. The game's loop blocks, the page must not: while
// the game sleeps or has nothing to do, and after every flip, the page gets
// its turn (Emscripten's ASYNCIFY unwinds the game's stack and resumes it
// later), so that the page shows each frame and an idle game costs next to
// nothing.
#include "platform/System.h"

#include <SDL.h>
#include <emscripten.h>

// Resolves at the browser's next animation frame; the game is suspended meanwhile.
EM_ASYNC_JS(void, NextAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});

void System::Pause(uint32_t milliseconds)
{
    emscripten_sleep(milliseconds);
}

// A page gets its events between the frames it shows.
bool System::WaitForEvent(uint32_t)
{
    NextAnimationFrame();
    SDL_PumpEvents();
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void System::FrameFlipped()
{
    emscripten_sleep(0);  // the page shows the frame now, as a screen would
}
