// The time from a mark placed on one device to its arrival on the other:
// two processes of this program, each an online game on the desktop's own
// broker (libmosquitto) and the game's own wait for input, place marks in
// turn through a broker on loopback; the side that receives a mark notes how
// long after its placing it arrived (one machine, one clock).
// Usage: ortelanka_online_latency BROKER_URL [MARKS [GUEST_BROKER_URL]]
//   GUEST_BROKER_URL: the guest on another broker of a cluster.
#include "board/HraciPole.h"
#include "online/OnlineGame.h"
#include "platform/Display.h"
#include "platform/Waiting.h"
#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMostMarks = 600;

struct Shared {
    char code[online::kCodeSymbols + 1];
    int64_t placed[kMostMarks];   // nanoseconds of the steady clock
    int64_t arrived[kMostMarks];
};

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits as the game waits, for news of the broker, until `done`.
template <typename Done>
bool WaitUntil(OnlineGame& game, Done done, int seconds)
{
    const int64_t end = Now() + seconds * 1000000000LL;
    while (Now() < end) {
        game.Poll();
        if (done())
            return true;
        WaitForInput(100);
        MSG msg;
        while (PeekMessage(&msg)) {
        }
    }
    return false;
}

int PlayHere(Shared* shared, bool host, const char* broker, int marks);

// One side: the host places the even marks (circles), the guest the odd.
int Play(Shared* shared, bool host, const char* broker, int marks)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (!DisplayAvailable())
        return 2;
    // Each side a device of its own: its key (and log) in a folder of its own.
    char folder[] = "/tmp/ortelanka-latency-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0)
        return 2;
    const int played = PlayHere(shared, host, broker, marks);
    std::remove("ortelanka.key");
    std::remove("Ortelanka.log");
    const bool cleaned = chdir("/") == 0 && rmdir(folder) == 0;
    return played != 0 ? played : cleaned ? 0 : 7;
}

int PlayHere(Shared* shared, bool host, const char* broker, int marks)
{
    OnlineGame game;
    if (host ? !game.Host(broker) : !game.Join(shared->code, broker))
        return 3;
    std::vector<int> rebuild;
    if (!WaitUntil(game, [&] { return game.TakeRebuild(&rebuild); }, 20))
        return 4;
    if (host) {
        std::snprintf(shared->code, sizeof shared->code, "%s", game.Code().c_str());
        if (!WaitUntil(game, [&] { return game.State() == OnlineGame::Stage::Playing; }, 30))
            return 5;
    }
    static Deska empty;  // the marks' cells are all different: the board stays out of it
    const int mine = host ? 1 : 2;
    for (int mark = 0; mark < marks; ++mark) {
        const int player = mark % 2 == 0 ? 1 : 2;
        if (player == mine) {
            shared->placed[mark] = Now();
            game.LocalMove(mark);
            continue;
        }
        int cell = -1;
        if (!WaitUntil(game, [&] { return game.TakeRemoteMove(empty, false, player, &cell); }, 10) || cell != mark)
            return 6;
        shared->arrived[mark] = Now();
    }
    // Leaving ends the other side's game too: not before it has the last mark.
    if (marks > 0 && (marks - 1) % 2 == (host ? 0 : 1))
        WaitUntil(game, [&] { return shared->arrived[marks - 1] != 0; }, 10);
    game.Leave();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ortelanka_online_latency BROKER_URL [MARKS [GUEST_BROKER_URL]]\n");
        return 2;
    }
    const char* guestBroker = argc > 3 ? argv[3] : argv[1];
    const int marks = std::min(argc > 2 ? std::atoi(argv[2]) : 200, kMostMarks);
    auto* shared = static_cast<Shared*>(mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (shared == MAP_FAILED)
        return 2;
    *shared = Shared{};
    const pid_t host = fork();
    if (host == 0)
        _exit(Play(shared, true, argv[1], marks));
    while (shared->code[0] == '\0' && waitpid(host, nullptr, WNOHANG) == 0)
        usleep(10000);
    const pid_t guest = fork();
    if (guest == 0)
        _exit(Play(shared, false, guestBroker, marks));
    int hostStatus = 0, guestStatus = 0;
    waitpid(host, &hostStatus, 0);
    waitpid(guest, &guestStatus, 0);
    if (!WIFEXITED(hostStatus) || WEXITSTATUS(hostStatus) != 0 || !WIFEXITED(guestStatus) || WEXITSTATUS(guestStatus) != 0) {
        std::fprintf(stderr, "ortelanka_online_latency: the host ended with %d, the guest with %d\n", hostStatus, guestStatus);
        return 1;
    }
    std::vector<double> ms;
    for (int mark = 0; mark < marks; ++mark)
        ms.push_back((shared->arrived[mark] - shared->placed[mark]) / 1e6);
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
    std::printf("a placed mark on the other side, %d marks: median %.2f ms, p99 %.2f ms, most %.2f ms\n", marks, at(0.5),
                at(0.99), ms.back());
    return 0;
}
