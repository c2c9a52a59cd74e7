#include "Clock.h"

#include <chrono>

static FakeClock* fakeClock = nullptr;

FakeClock::FakeClock() { fakeClock = this; }
FakeClock::~FakeClock() { fakeClock = nullptr; }

FakeClock* FakeClock::Active()
{
    return fakeClock;
}

uint32_t timeGetTime()
{
    if (fakeClock) {
        fakeClock->now += fakeClock->advancePerRead;
        return fakeClock->now;
    }
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t GetTickCount()
{
    return timeGetTime();
}

SystemTime GetLocalTime()
{
    return fakeClock ? fakeClock->localTime : System::LocalTime();
}
