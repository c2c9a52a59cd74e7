// SIGINT, SIGTERM and SIGHUP end the game as closing its window does.
#include "platform/System.h"

#include <SDL.h>

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t caught = 0;

// Only what is safe inside a signal handler: the flag.
extern "C" void OnQuitSignal(int)
{
    caught = 1;
}

}  // namespace

void System::CatchQuitRequests()
{
    caught = 0;
    // SDL would otherwise take SIGINT and SIGTERM for itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction inherited {};
        if (sigaction(signal, nullptr, &inherited) != 0 || inherited.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no restart: a sleep ends when the signal comes
        sigaction(signal, &action, nullptr);
    }
}

bool System::QuitRequestCaught()
{
    return caught != 0;
}

// A terminal that started the game has its standard streams already.
bool System::ReachConsole()
{
    return true;
}
