// Waiting on a POSIX desktop: pauses that a signal cuts short, SDL's own wait
// for events.
#include "platform/System.h"

#include <SDL.h>

#include <ctime>

const uint32_t System::kWaitSliceMilliseconds = 100;
const uint16_t System::kSoundFrames = 2048;

void System::Pause(uint32_t milliseconds)
{
    timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

bool System::WaitForEvent(uint32_t milliseconds)
{
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
}

void System::FrameFlipped() {}
