// Time: the millisecond clocks the game paces itself with, Sleep, and the
// wall-clock time for the log. Tests install a FakeClock, whose Sleep advances
// time at once.
#pragma once

#include <cstdint>
#include <functional>

struct SystemTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

uint32_t timeGetTime();   // milliseconds, wrapping at 2^32
uint32_t GetTickCount();  // the same clock
// Keeps the window answering meanwhile, and ends early when a quit is requested.
void Sleep(uint32_t milliseconds);
// Waits for the next input event, at most the given time (INFINITE: no
// limit), ending early when a quit is requested.
void WaitForInput(uint32_t milliseconds);
SystemTime GetLocalTime();

class FakeClock {
public:
    FakeClock();   // replaces the real clock until destroyed
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

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
