#include "Clock.h"

#include "Display.h"
#ifdef __EMSCRIPTEN__
#include "Browser.h"
#endif

#include <chrono>
#include <ctime>
#include <thread>

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

void Sleep(uint32_t milliseconds)
{
    // Whatever was drawn straight onto the visible surface is shown before the
    // wait, as it would be on a screen that scans out that surface.
    if (fakeClock) {
        PresentPendingFrame();
        fakeClock->now += milliseconds;
        fakeClock->slept += milliseconds;
        if (fakeClock->onSleep)
            fakeClock->onSleep(milliseconds);
        return;
    }
#ifdef __EMSCRIPTEN__
    PresentPendingFrame();
    SleepInBrowser(milliseconds);
#else
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    PresentPendingFrame();
    std::this_thread::sleep_until(deadline);
#endif
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
