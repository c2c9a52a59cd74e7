#include "Clock.h"

#include "Display.h"
#include "Window.h"
#ifdef __EMSCRIPTEN__
#include "Browser.h"
#endif

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <ctime>

static FakeClock* fakeClock = nullptr;

FakeClock::FakeClock() { fakeClock = this; }
FakeClock::~FakeClock() { fakeClock = nullptr; }

static uint32_t RealMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t timeGetTime()
{
    if (fakeClock) {
        fakeClock->now += fakeClock->advancePerRead;
        return fakeClock->now;
    }
    return RealMilliseconds();
}

uint32_t GetTickCount()
{
    return timeGetTime();
}

// A real pause, cut short by any signal; in a page, the page has its turn.
static void Pause(uint32_t milliseconds)
{
#ifdef __EMSCRIPTEN__
    SleepInBrowser(milliseconds);
#else
    timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
#endif
}

// True when an event came within the time. A page gets its events between
// the frames it shows, so it waits for its next frame instead.
static bool WaitForEvent(uint32_t milliseconds)
{
#ifdef __EMSCRIPTEN__
    (void)milliseconds;
    WaitForBrowserFrame();
    SDL_PumpEvents();
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
#else
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
#endif
}

void Sleep(uint32_t milliseconds)
{
    // Whatever was drawn straight onto the visible surface is shown before the
    // wait, as it would be on a screen that scans out that surface.
    PresentPendingFrame();
    if (fakeClock) {
        if (QuitRequested())
            return;
        fakeClock->now += milliseconds;
        fakeClock->slept += milliseconds;
        if (fakeClock->onSleep)
            fakeClock->onSleep(milliseconds);
        return;
    }
    // The events are pumped in slices, so the desktop's pings are answered
    // and a close or a signal ends the wait, while the game's own input stays
    // queued in its order for the message loop.
    const uint32_t start = RealMilliseconds();
    for (;;) {
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_PumpEvents();
        if (QuitRequested())
            return;
        const uint32_t spent = RealMilliseconds() - start;
        if (spent >= milliseconds)
            return;
        Pause(std::min<uint32_t>(milliseconds - spent, 10));
    }
}

void WaitForInput(uint32_t milliseconds)
{
    if (fakeClock) {
        if (milliseconds != INFINITE)
            fakeClock->now += milliseconds;
        if (fakeClock->onWait)
            fakeClock->onWait(milliseconds);
        return;
    }
    // In slices: a signal does not wake SDL's wait, the next slice sees it.
    const uint32_t start = RealMilliseconds();
    for (;;) {
        if (QuitRequested())
            return;
        const uint32_t spent = RealMilliseconds() - start;
        if (milliseconds != INFINITE && spent >= milliseconds)
            return;
        const uint32_t slice = std::min<uint32_t>(milliseconds == INFINITE ? 100 : milliseconds - spent, 100);
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            Pause(slice);
        else if (WaitForEvent(slice))
            return;
    }
}

SystemTime GetLocalTime()
{
    if (fakeClock)
        return fakeClock->localTime;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}
