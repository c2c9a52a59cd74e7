// SIGINT, SIGTERM and SIGHUP end the game as closing its window does.
#include "platform/System.h"

#include <SDL.h>

#include <csignal>
#include <ctime>
#include <initializer_list>
#include <pthread.h>

namespace {

volatile std::sig_atomic_t caught = 0;
sigset_t watched;

// Only what is safe inside a signal handler: the flag.
extern "C" void OnQuitSignal(int)
{
    caught = 1;
}

}  // namespace

// A quit signal goes to whichever thread of the process does not block it:
// one of a library's (the sound server's client, the GL driver's) would have
// its own waits cut short by it. So the game's own thread and every thread
// made after it block them, and a signal that no thread takes stays pending
// until the game's thread looks; the handler still takes one that comes to a
// thread made earlier.
void System::CatchQuitRequests()
{
    caught = 0;
    // SDL would otherwise take SIGINT and SIGTERM for itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sigemptyset(&watched);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction inherited {};
        if (sigaction(signal, nullptr, &inherited) != 0 || inherited.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
        sigaddset(&watched, signal);
    }
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
}

bool System::QuitRequestCaught()
{
    if (caught)
        return true;
    sigset_t pending;
    const timespec now{0, 0};
    if (sigpending(&pending) == 0)
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            if (sigismember(&watched, signal) && sigismember(&pending, signal)) {
                sigtimedwait(&watched, nullptr, &now);  // taken: it asks once
                caught = 1;
            }
    return caught != 0;
}

// A terminal that started the game has its standard streams already.
bool System::ReachConsole()
{
    return true;
}
