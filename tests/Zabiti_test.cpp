// Saves killed at random moments with SIGKILL: best.dat is always exactly the
// old or the new table, data/tahy.dat only ever whole records, and killed
// saves do not pile up temporary files.
#include "Pomocnik.h"

#include "board/HraciPole.h"
#include "records/Nejlepsi.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In memory where there is such a folder: a kill does not care whether the
// disk was flushed, and the saves are quicker there.
class Zabiti : public VDocasnemAdresari {
protected:
    std::filesystem::path Zaklad() override
    {
        return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : VDocasnemAdresari::Zaklad();
    }
};

constexpr int kZabiti = 150;

// Runs the work in a child process, which reports each save it finished,
// and kills it after one to three saves and a random moment more (waited for
// by spinning, not sleeping), so that kills fall anywhere in a save. Gives
// the number of saves the child reported.
template <typename Prace>
int ZabijUprostred(std::mt19937& nahoda, Prace prace)
{
    int hlaseni[2];
    if (pipe(hlaseni) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(hlaseni[0]);
        prace([&] { (void)!write(hlaseni[1], "u", 1); });
        _exit(0);
    }
    close(hlaseni[1]);
    char c;
    int reported = 0;
    for (int i = std::uniform_int_distribution<int>(1, 3)(nahoda); i > 0 && read(hlaseni[0], &c, 1) == 1; --i)
        ++reported;
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(nahoda));
    while (std::chrono::steady_clock::now() < until) {
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    while (read(hlaseni[0], &c, 1) == 1)
        ++reported;
    close(hlaseni[0]);
    return reported;
}

std::string JmenoHrace(int k)
{
    return "HRAC " + std::to_string(k);
}

// The table after k new best scores 100001 ... 100000 + k on the defaults.
std::vector<uint8_t> TabulkaPo(int k)
{
    std::vector<std::pair<int32_t, std::string>> rows;
    for (int i = 0; i < 10; ++i)
        rows.emplace_back(i < k ? 100000 + k - i : 99900 - 200 * (i - std::min(k, 10)),
                          i < k ? JmenoHrace(k - i) : "Beze Jmena");
    return BestDat(rows);
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
    int posledni = 0, novych = 0, nejvicDocasnych = 0;
    for (int pokus = 0; pokus < kZabiti; ++pokus) {
        const int ulozenych = ZabijUprostred(nahoda, [](auto ulozeno) {
            CNejlepsi tabulka;
            for (int k = std::max(tabulka.Radek(0).score - 100000, 0) + 1;; ++k) {
                tabulka.Pridej(100000 + k, JmenoHrace(k).c_str());
                ulozeno();
            }
        });
        ASSERT_GT(ulozenych, 0);
        const std::vector<uint8_t> best = CtiSoubor("best.dat");
        ASSERT_EQ(best.size(), 240u) << "kill " << pokus;
        const int32_t prvni = static_cast<int32_t>(best[0] | best[1] << 8 | best[2] << 16 | best[3] << 24);
        const int k = prvni - 100000;
        // The table of the last save reported, or of the one under way.
        ASSERT_TRUE(k == posledni + ulozenych || k == posledni + ulozenych + 1) << "kill " << pokus;
        ASSERT_EQ(best, TabulkaPo(k)) << "kill " << pokus;
        novych += k == posledni + ulozenych + 1;
        posledni = k;
        nejvicDocasnych = std::max(nejvicDocasnych, Docasnych());
    }
    EXPECT_LE(nejvicDocasnych, 1) << "each save clears what the killed one left";
    std::cout << kZabiti << " kills: " << kZabiti - novych << " left the table of the last finished save, " << novych
              << " the one under way; " << posledni << " tables saved\n";
}

TEST_F(Zabiti, AKilledMoveRecordingLeavesWholeRecordsOnly)
{
    std::filesystem::create_directory("data");
    auto bunka = [](size_t i) { return static_cast<uint32_t>(i % 676); };
    std::mt19937 nahoda(11);
    size_t posledni = 0;
    for (int pokus = 0; pokus < kZabiti; ++pokus) {
        const int ulozenych = ZabijUprostred(nahoda, [&](auto ulozeno) {
            CHraciPole deska;
            for (size_t i = posledni;; ++i) {
                deska.UlozTah(static_cast<int>(bunka(i) % 26), static_cast<int>(bunka(i) / 26));
                ulozeno();
            }
        });
        const std::vector<uint8_t> tahy = CtiSoubor("data/tahy.dat");
        ASSERT_EQ(tahy.size() % 4, 0u) << "kill " << pokus;
        const size_t zaznamu = tahy.size() / 4;
        ASSERT_TRUE(zaznamu == posledni + ulozenych || zaznamu == posledni + ulozenych + 1) << "kill " << pokus;
        for (size_t i = posledni; i < zaznamu; ++i) {
            const uint32_t zaznam = tahy[4 * i] | tahy[4 * i + 1] << 8 | tahy[4 * i + 2] << 16 | tahy[4 * i + 3] << 24;
            ASSERT_EQ(zaznam, bunka(i)) << "record " << i << " at kill " << pokus;
        }
        posledni = zaznamu;
    }
    std::cout << kZabiti << " kills: " << posledni << " whole records\n";
}

}  // namespace
