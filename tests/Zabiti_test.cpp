// Saves killed at random moments with SIGKILL: best.dat is always exactly the
// old or the new table, data/tahy.dat only ever whole records, and killed
// saves do not pile up temporary files.
#include "Pomocnik.h"

#include "board/HraciPole.h"
#include "records/Nejlepsi.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Zabiti = VDocasnemAdresari;

constexpr int kZabiti = 200;

// Runs the work in a child process and kills it after a random number of
// turns of the scheduler.
template <typename Prace>
void ZabijUprostred(std::mt19937& nahoda, Prace prace)
{
    const pid_t child = fork();
    if (child == 0) {
        prace();
        _exit(0);
    }
    for (int i = std::uniform_int_distribution<int>(0, 1500)(nahoda); i > 0; --i)
        sched_yield();
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
}

std::string JmenoHrace(int k)
{
    return "HRAC " + std::to_string(k);
}

// The table after k new best scores 100001 ... 100000 + k on the defaults.
std::vector<uint8_t> TabulkaPo(int k)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 10; ++i) {
        const bool novy = i < k;
        const int32_t score = novy ? 100000 + k - i : 99900 - 200 * (i - std::min(k, 10));
        const std::string name = novy ? JmenoHrace(k - i) : "Beze Jmena";
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(score) >> (8 * b)));
        std::vector<uint8_t> field(20, 0);
        std::memcpy(field.data(), name.data(), name.size());
        bytes.insert(bytes.end(), field.begin(), field.end());
    }
    return bytes;
}

int Docasnych()
{
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        n += entry.path().filename().string().rfind("best.dat.", 0) == 0;
    return n;
}

TEST_F(Zabiti, AKilledSaveLeavesTheOldOrTheNewTableAndNoPileOfTemporaries)
{
    std::mt19937 nahoda(9);
    int posledni = 0, nejvicDocasnych = 0, dokoncenych = 0;
    for (int pokus = 0; pokus < kZabiti; ++pokus) {
        ZabijUprostred(nahoda, [] {
            CNejlepsi tabulka;
            for (int k = std::max(tabulka.Radek(0).score - 100000, 0) + 1;; ++k)
                tabulka.Pridej(100000 + k, JmenoHrace(k).c_str());
        });
        const std::vector<uint8_t> best = CtiSoubor("best.dat");
        if (best.empty() && posledni == 0)
            continue;  // killed before the first table was written
        ASSERT_EQ(best.size(), 240u) << "kill " << pokus;
        const int32_t prvni = static_cast<int32_t>(best[0] | best[1] << 8 | best[2] << 16 | best[3] << 24);
        const int k = prvni > 100000 ? prvni - 100000 : 0;
        ASSERT_GE(k, posledni) << "a saved table was lost at kill " << pokus;
        ASSERT_EQ(best, TabulkaPo(k)) << "kill " << pokus;
        dokoncenych += k > posledni;
        posledni = k;
        nejvicDocasnych = std::max(nejvicDocasnych, Docasnych());
    }
    EXPECT_LE(nejvicDocasnych, 1) << "each save clears what the killed one left";
    EXPECT_GT(dokoncenych, kZabiti / 10) << "the kills fell between saves too";
    std::cout << kZabiti << " kills: " << dokoncenych << " after a new table, " << kZabiti - dokoncenych
              << " with the table before; " << posledni << " tables saved\n";
}

TEST_F(Zabiti, AKilledMoveRecordingLeavesWholeRecordsOnly)
{
    std::filesystem::create_directory("data");
    auto bunka = [](size_t i) { return static_cast<uint32_t>(i % 676); };
    std::mt19937 nahoda(11);
    size_t posledni = 0;
    for (int pokus = 0; pokus < kZabiti; ++pokus) {
        ZabijUprostred(nahoda, [&] {
            CHraciPole deska;
            for (size_t i = std::filesystem::exists("data/tahy.dat") ? std::filesystem::file_size("data/tahy.dat") / 4 : 0;;
                 ++i)
                deska.UlozTah(static_cast<int>(bunka(i) % 26), static_cast<int>(bunka(i) / 26));
        });
        const std::vector<uint8_t> tahy = CtiSoubor("data/tahy.dat");
        ASSERT_EQ(tahy.size() % 4, 0u) << "kill " << pokus;
        ASSERT_GE(tahy.size() / 4, posledni) << "a recorded move was lost at kill " << pokus;
        posledni = tahy.size() / 4;
        for (size_t i = 0; i < posledni; ++i) {
            const uint32_t zaznam = tahy[4 * i] | tahy[4 * i + 1] << 8 | tahy[4 * i + 2] << 16 | tahy[4 * i + 3] << 24;
            ASSERT_EQ(zaznam, bunka(i)) << "record " << i << " at kill " << pokus;
        }
    }
    EXPECT_GT(posledni, static_cast<size_t>(kZabiti));
    std::cout << kZabiti << " kills: " << posledni << " whole records\n";
}

}  // namespace
