#include "platform/System.h"

#include "Win32.h"

#include <SDL.h>

const bool System::kOwnWindow = true;
const bool System::kReplacesSoftwareGL = true;
const uint32_t System::kWaitSliceMilliseconds = 100;
const uint16_t System::kSoundFrames = 2048;

void System::Pause(uint32_t milliseconds)
{
    // A console's Ctrl+C sets the event, as a signal would cut a sleep short.
    WaitForSingleObject(win32::QuitEvent(), milliseconds);
}

bool System::WaitForEvent(uint32_t milliseconds)
{
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
}

void System::FrameFlipped() {}

SystemTime System::LocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

int64_t System::ProcessorNanoseconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<int64_t>(static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 100;  // counted in 100 ns
}

bool System::HasGpu()
{
    // Windows always has a Direct3D device, if only Microsoft's own software one.
    return true;
}

// The desktop of Windows does not go away under a running program.
void System::WatchDisplay(SDL_Window*) {}

bool System::DisplayLost()
{
    return false;
}
