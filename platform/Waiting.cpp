#include "Waiting.h"

#include "Clock.h"
#include "Display.h"
#include "System.h"
#include "Window.h"

#include <SDL.h>

#include <algorithm>

void Sleep(uint32_t milliseconds)
{
    ExpireDisplayNote();
    // Whatever was drawn straight onto the visible surface is shown before the
    // wait, as it would be on a screen that scans out that surface.
    PresentPendingFrame();
    if (FakeClock* fake = FakeClock::Active()) {
        if (QuitRequested())
            return;
        fake->now += milliseconds;
        fake->slept += milliseconds;
        if (fake->onSleep)
            fake->onSleep(milliseconds);
        return;
    }
    // The events are pumped in slices, so the desktop's pings are answered
    // and a close or a signal ends the wait, while the game's own input stays
    // queued in its order for the message loop.
    const uint32_t start = timeGetTime();
    for (;;) {
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_PumpEvents();
        if (QuitRequested())
            return;
        RepaintResizedDisplay();
        const uint32_t spent = timeGetTime() - start;
        if (spent >= milliseconds)
            return;
        System::Pause(std::min<uint32_t>(milliseconds - spent, 10));
    }
}

void WaitForInput(uint32_t milliseconds)
{
    if (InputQueued())
        return;
    if (FakeClock* fake = FakeClock::Active()) {
        if (milliseconds != INFINITE)
            fake->now += milliseconds;
        if (fake->onWait)
            fake->onWait(milliseconds);
        ExpireDisplayNote();
        return;
    }
    // In slices: a signal does not wake SDL's wait, the next slice sees it.
    const uint32_t start = timeGetTime();
    for (;;) {
        if (QuitRequested())
            return;
        const uint32_t spent = timeGetTime() - start;
        if (milliseconds != INFINITE && spent >= milliseconds)
            return;
        ExpireDisplayNote();
        const uint32_t most = System::kWaitSliceMilliseconds;
        const uint32_t slice = std::min<uint32_t>(milliseconds == INFINITE ? most : milliseconds - spent, most);
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            System::Pause(slice);
        else if (System::WaitForEvent(slice) && InputQueued())
            return;
    }
}

void WaitMessage(uint32_t timeout)
{
    if (!MessageWaiting())
        WaitForInput(timeout);
}
