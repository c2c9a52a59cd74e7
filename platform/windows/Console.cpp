#include "platform/System.h"

#include "Win32.h"

#include <atomic>
#include <cstdio>
#include <io.h>

namespace {

std::atomic<bool> caught{false};

// Called on a thread of its own: only notes the request.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        caught = true;
        SetEvent(win32::QuitEvent());
        // After a close, Windows ends the process as soon as this returns:
        // the game is given the time to end itself and write its log.
        if (event == CTRL_CLOSE_EVENT)
            Sleep(5000);
        return TRUE;
    default:
        return FALSE;
    }
}

bool HasHandle(FILE* stream)
{
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    return handle != -1 && handle != -2 && handle != 0;
}

// A windowed program gets no console of its own: it joins the console of the
// cmd.exe that started it, if any, and keeps a redirection as it was.
bool JoinStartingConsole()
{
    static const bool joined = AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED;
    return joined;
}

}  // namespace

bool System::ReachConsole()
{
    if (HasHandle(stdout) && HasHandle(stderr))
        return true;
    if (!JoinStartingConsole())
        return false;
    if (!HasHandle(stdout))
        std::freopen("CONOUT$", "w", stdout);
    if (!HasHandle(stderr))
        std::freopen("CONOUT$", "w", stderr);
    return HasHandle(stdout) && HasHandle(stderr);
}

void System::CatchQuitRequests()
{
    caught = false;
    ResetEvent(win32::QuitEvent());
    static bool handling = false;
    if (handling)
        return;
    handling = true;
    // Ctrl+C in the console the game was started from, and its closing, end
    // the game. One started with Ctrl+C ignored (a new process group) keeps
    // ignoring it: Windows keeps that apart from the handlers.
    JoinStartingConsole();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool System::QuitRequestCaught()
{
    return caught;
}
