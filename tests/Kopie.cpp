// One copy of the game's file code, for the test that runs two of them at once
// in one folder (dve_kopie.sh): each enters rows of the table, records moves
// or changes a setting, many times, while the other does the same; then
// "check" says whether the work of both is all there.
//
//   ortelanka_kopie FOLDER best WHO      rows WHO1..WHO50, scores 99901+2i (+1 for B)
//   ortelanka_kopie FOLDER tahy WHO      300 moves, cells 338*WHO + i
//   ortelanka_kopie FOLDER nastaveni WHO A: the music, B: the window size, 100 times
//   ortelanka_kopie FOLDER check
#include "board/HraciPole.h"
#include "platform/LittleEndian.h"
#include "platform/Settings.h"
#include "records/Nejlepsi.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRadku = 50;
constexpr int kTahu = 300;
constexpr int kZmen = 100;

int Skore(int kdo, int i)
{
    return 99901 + 2 * i + kdo;
}

std::vector<uint8_t> Precti(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void ZadejRadky(int kdo)
{
    for (int i = 0; i < kRadku; ++i) {
        CNejlepsi tabulka;  // each row from a copy that has just read the table
        const std::string jmeno = std::string(1, static_cast<char>('A' + kdo)) + std::to_string(i);
        tabulka.Pridej(Skore(kdo, i), jmeno.c_str());
    }
}

void ZaznamenejTahy(int kdo)
{
    for (int i = 0; i < kTahu; ++i) {
        const int cell = 338 * kdo + i;
        CHPHraciPole.UlozTah(cell % HRACIPOLEX, cell / HRACIPOLEX);
    }
}

void ZmenNastaveni(int kdo)
{
    for (int i = 1; i <= kZmen; ++i) {
        if (kdo == 0) {
            const bool music = i % 2 == 1;
            SaveSettingChange(Settings(), [music](Settings* s) { s->music = music; });
        } else {
            SaveSettingChange(Settings(), [i](Settings* s) { s->windowWidth = 900 + i, s->windowHeight = 700; });
        }
    }
}

bool Zkontroluj()
{
    bool ok = true;
    auto spatne = [&ok](const char* what) {
        std::fprintf(stderr, "ortelanka_kopie: %s\n", what);
        ok = false;
    };
    // The ten best of both copies' rows, best first.
    const std::vector<uint8_t> best = Precti("best.dat");
    if (best.size() != 240)
        spatne("best.dat is not 240 bytes");
    for (size_t row = 0; row < 10 && best.size() == 240; ++row) {
        const int i = kRadku - 1 - static_cast<int>(row / 2);
        const int kdo = row % 2 == 0 ? 1 : 0;
        const std::string jmeno = std::string(1, static_cast<char>('A' + kdo)) + std::to_string(i);
        if (static_cast<int>(ReadLe32(&best[24 * row])) != Skore(kdo, i) ||
            std::strncmp(reinterpret_cast<const char*>(&best[24 * row + 4]), jmeno.c_str(), 20) != 0) {
            spatne("a row of best.dat is lost or out of place");
            break;
        }
    }
    // Every move of both, each whole and in its copy's order.
    const std::vector<uint8_t> tahy = Precti("data/tahy.dat");
    if (tahy.size() != 4u * 2 * kTahu)
        spatne("data/tahy.dat does not hold every move, whole");
    int dalsi[2] = {0, 0};
    for (size_t at = 0; at + 4 <= tahy.size(); at += 4) {
        const int cell = static_cast<int>(ReadLe32(&tahy[at]));
        const int kdo = cell / 338;
        if (kdo > 1 || cell != 338 * kdo + dalsi[kdo]++) {
            spatne("a move record is torn, lost or out of order");
            break;
        }
    }
    // Each copy's last choice.
    Settings s;
    if (LoadSettings(&s) != SettingsStatus::Read || s.music != (kZmen % 2 == 1) || s.windowWidth != 900 + kZmen)
        spatne("a setting of one copy was lost");
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[2], "check") != 0 && argc < 4)) {
        std::fprintf(stderr, "usage: ortelanka_kopie FOLDER best|tahy|nastaveni A|B, or FOLDER check\n");
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    const std::string co = argv[2];
    const int kdo = argc > 3 && argv[3][0] == 'B' ? 1 : 0;
    if (co == "best")
        ZadejRadky(kdo);
    else if (co == "tahy")
        ZaznamenejTahy(kdo);
    else if (co == "nastaveni")
        ZmenNastaveni(kdo);
    else if (co == "check")
        return Zkontroluj() ? 0 : 1;
    else
        return 2;
    CHPHraciPole.Destroy();
    return 0;
}
