// Time: the millisecond clocks the game paces itself with and the
// wall-clock time for the log. Tests install a FakeClock instead.
#pragma once

#include "System.h"

#include <cstdint>
#include <functional>

uint32_t timeGetTime();   // milliseconds, wrapping at 2^32
uint32_t GetTickCount();  // the same clock
SystemTime GetLocalTime();

class FakeClock {
public:
    FakeClock();   // replaces the real clock until destroyed
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    // The clock installed now; null when time is real.
    static FakeClock* Active();

    uint32_t now = 0;
    // Every read moves the clock on by this much, so code that polls the
    // clock without sleeping still gets to its deadline.
    uint32_t advancePerRead = 1;
    uint32_t slept = 0;  // total of all Sleep calls
    // Called at every Sleep, after what was drawn has been shown: lets a test
    // look at the screen in the middle of an animation.
    std::function<void(uint32_t milliseconds)> onSleep;
    // Called at every wait for input (INFINITE: until a message comes).
    std::function<void(uint32_t milliseconds)> onWait;
    SystemTime localTime{2026, 12, 5, 20, 34, 10};
};
