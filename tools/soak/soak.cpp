// The soak: whole games against the computer, played headless on the real
// board, score, table and move-file code, by scripted players of several
// styles. Each step is the game screen's own (the computer's reply, the
// winner check, the full-board clear, the move records, the table entry);
// the screen's drawing and animations are left out, since they would take
// most of the time and are covered by the game-flow tests.
//
// Checked all along: no move is illegal, every game ends, the files hold
// exactly what was played, and memory stays flat.
//
//   ortelanka_soak [games]   (default 100)
#include "board/HraciPole.h"
#include "records/Nejlepsi.h"
#include "records/Score.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Styl { Nahodny, Rada, Okraj, Blokar };
const char* const kStyly[] = {"random legal", "longest line", "edge-hugger", "blocker"};

struct Bunka {
    int x, y;
};

[[noreturn]] void Selhani(const std::string& what, int game)
{
    std::fprintf(stderr, "soak: game %d: %s\n", game, what.c_str());
    std::exit(1);
}

long PametKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<uint8_t> Cti(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The longest run of the player's marks that a mark at (x, y) would make.
int Rada(const CHraciPole& deska, int player, int x, int y)
{
    int best = 0;
    for (int d = 1; d <= 4; ++d) {
        int run = 1;
        for (int sign : {1, -1})
            for (int k = 1;; ++k) {
                const int cx = x + sign * k * Smer_X[d], cy = y + sign * k * Smer_Y[d];
                if (CheckOut(cx, cy) || deska.Pole[cy][cx] != player)
                    break;
                ++run;
            }
        best = std::max(best, run);
    }
    return best;
}

// The empty cell the style likes best, ties broken at random.
Bunka Vyber(const CHraciPole& deska, Styl styl, std::mt19937& nahoda)
{
    std::vector<Bunka> nejlepsi;
    long nejvyssi = -1000000;
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x) {
            if (deska.Pole[y][x] != 0)
                continue;
            long hodnota = 0;
            switch (styl) {
            case Styl::Nahodny:
                break;
            case Styl::Rada:
                // Its own longest line, or the computer's where that is longer.
                hodnota = 10 * std::max(Rada(deska, 1, x, y), Rada(deska, 2, x, y)) + Rada(deska, 1, x, y);
                break;
            case Styl::Okraj:
                hodnota = -std::min({x, y, HRACIPOLEX - 1 - x, HRACIPOLEY - 1 - y});
                break;
            case Styl::Blokar:
                hodnota = -std::max(std::abs(x - deska.PosledniTahPC_X), std::abs(y - deska.PosledniTahPC_Y));
                break;
            }
            if (hodnota > nejvyssi)
                nejlepsi.clear();
            if (hodnota >= nejvyssi) {
                nejvyssi = hodnota;
                nejlepsi.push_back({x, y});
            }
        }
    return nejlepsi[std::uniform_int_distribution<size_t>(0, nejlepsi.size() - 1)(nahoda)];
}

int Znacek(const CHraciPole& deska, int player)
{
    int n = 0;
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            n += deska.Pole[y][x] == player;
    return n;
}

// data/tahy.dat: the records of the moves played since the last look,
// compared with the end of the file now and then (so nothing here grows).
struct Tahy {
    std::vector<uint8_t> nove;
    long overeno = 0;

    void Zaznamenej(CHraciPole& deska, int x, int y, int game)
    {
        if (!deska.UlozTah(x, y))
            Selhani("a move was not recorded", game);
        const uint32_t cell = static_cast<uint32_t>(y * HRACIPOLEX + x);
        for (int i = 0; i < 4; ++i)
            nove.push_back(static_cast<uint8_t>(cell >> (8 * i)));
    }
    void Over(int game)
    {
        std::ifstream in("data/tahy.dat", std::ios::binary);
        in.seekg(overeno);
        std::vector<uint8_t> konec(nove.size() + 1);
        in.read(reinterpret_cast<char*>(konec.data()), static_cast<std::streamsize>(konec.size()));
        konec.resize(static_cast<size_t>(in.gcount()));
        if (konec != nove)
            Selhani("data/tahy.dat differs from the moves played", game);
        overeno += static_cast<long>(nove.size());
        nove.clear();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 100;
    std::filesystem::create_directory("data");  // in the program's own folder

    std::mt19937 nahoda(20261207);
    CHraciPole& deska = CHPHraciPole;
    CScore score;
    CNejlepsi tabulka;
    Tahy tahy;
    long moves = 0, humanWins = 0, computerWins = 0, fullBoards = 0, entries = 0, illegalTries = 0;
    long memoryAt100 = 0;
    std::vector<long> styleWins(4, 0);

    for (int game = 1; game <= games; ++game) {
        const Styl styl = static_cast<Styl>(game % 4);
        deska.ClearHraciPole();
        score.Reset();
        deska.PosledniTahPC_X = deska.PosledniTahPC_Y = HRACIPOLEX / 2;
        int winner = -1;
        for (int step = 0; winner == -1; ++step) {
            if (step > HRACIPOLEX * HRACIPOLEY)
                Selhani("the game does not end", game);
            // The human: now and then a try at an occupied cell or one off
            // the board first, which must change nothing.
            if (nahoda() % 8 == 0) {
                const int before = Znacek(deska, 1) + Znacek(deska, 2);
                const int x = static_cast<int>(nahoda() % 30) - 2, y = static_cast<int>(nahoda() % 30) - 2;
                const bool empty = x >= 0 && x < HRACIPOLEX && y >= 0 && y < HRACIPOLEY && deska.Pole[y][x] == 0;
                if (!empty) {
                    ++illegalTries;
                    if (deska.PutItem(x, y, 1) || Znacek(deska, 1) + Znacek(deska, 2) != before)
                        Selhani("an illegal move was taken", game);
                }
            }
            const Bunka tah = Vyber(deska, styl, nahoda);
            if (!deska.PutItem(tah.x, tah.y, 1) || deska.Pole[tah.y][tah.x] != 1)
                Selhani("a legal move was refused", game);
            tahy.Zaznamenej(deska, tah.x, tah.y, game);
            score.IncPocetTahu();
            score.IncScore(static_cast<uint32_t>(deska.GetScore(1, tah.x, tah.y)));
            ++moves;

            winner = deska.ZkontrolujJestliJeVyherce();
            if (winner != -1)
                break;
            // The computer.
            const int crosses = Znacek(deska, 2);
            if (!deska.PutItemWithAI(2))
                Selhani("the computer found no move on a board with room", game);
            const int px = deska.PosledniTahPC_X, py = deska.PosledniTahPC_Y;
            if (px < 0 || px >= HRACIPOLEX || py < 0 || py >= HRACIPOLEY || deska.Pole[py][px] != 2 ||
                Znacek(deska, 2) != crosses + 1 || Znacek(deska, 1) != crosses + 1)
                Selhani("the computer's move is not one new cross", game);
            tahy.Zaznamenej(deska, px, py, game);
            score.IncPocetTahu();
            ++moves;
            winner = deska.ZkontrolujJestliJeVyherce();
        }

        if (winner == 0) {
            ++fullBoards;
        } else if (winner == 2) {
            ++computerWins;
        } else {
            ++humanWins;
            ++styleWins[static_cast<size_t>(styl)];
            if (tabulka.MuzePridat(score.GetScore())) {
                char name[20];
                std::snprintf(name, sizeof name, "SOAK %d", game);
                tabulka.Pridej(score.GetScore(), name);
                ++entries;
                const std::vector<uint8_t> best = Cti("best.dat");
                if (best.size() != 240 || !tabulka.Ulozeno())
                    Selhani("best.dat was not saved whole", game);
                for (int i = 0; i < 10; ++i)
                    if (std::memcmp(&best[24 * i + 4], tabulka.Radek(i).name, 20) != 0 ||
                        (best[24 * i] | best[24 * i + 1] << 8 | best[24 * i + 2] << 16 | best[24 * i + 3] << 24) !=
                            tabulka.Radek(i).score)
                        Selhani("best.dat differs from the table", game);
            }
        }
        if (game % 100 == 0)
            tahy.Over(game);
        if (game == 100)
            memoryAt100 = PametKiB();
    }
    tahy.Over(games);

    const long memory = PametKiB();
    std::printf("%d games, %ld moves (%ld illegal tries refused): human %ld, computer %ld, full boards %ld; "
                "%ld table entries\n",
                games, moves, illegalTries, humanWins, computerWins, fullBoards, entries);
    for (int s = 0; s < 4; ++s)
        std::printf("  %s: %ld wins\n", kStyly[s], styleWins[static_cast<size_t>(s)]);
    std::printf("peak resident memory:");
    if (games >= 100)
        std::printf(" %ld KiB at game 100,", memoryAt100);
    std::printf(" %ld KiB at game %d\n", memory, games);
    if (games >= 100 && memory > memoryAt100 + 1024) {
        std::fprintf(stderr, "soak: memory grew from %ld KiB to %ld KiB\n", memoryAt100, memory);
        return 1;
    }
    return 0;
}
