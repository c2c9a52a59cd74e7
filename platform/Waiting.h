// Waiting: the game's pauses and its waits for input. Each keeps the window
// answering meanwhile and ends early when a quit is requested.
#pragma once

#include <cstdint>

constexpr uint32_t INFINITE = 0xFFFFFFFF;

void Sleep(uint32_t milliseconds);
// Waits for the next input event, at most the given time (INFINITE: no limit).
void WaitForInput(uint32_t milliseconds);
// Blocks until a message is waiting, the timeout (milliseconds) has passed or
// a quit is requested; for a step that has nothing to do until input comes.
void WaitMessage(uint32_t timeout = INFINITE);
