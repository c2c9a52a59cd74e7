// best.dat as anything at all: the table read from it is always sound, and
// what is saved reads back as the table in memory.
#include "Prostredi.h"

#include "records/Nejlepsi.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PripravSlozkuData();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Zapis("best.dat", data, size);
    CNejlepsi tabulka;
    for (int i = 0; i < 10; ++i)
        fuzz::Over(std::memchr(tabulka.Radek(i).name, 0, sizeof tabulka.Radek(i).name) != nullptr);

    // A new row made of the first bytes: in the table exactly when it qualified.
    int32_t score = 0;
    std::memcpy(&score, data, size < sizeof score ? size : sizeof score);
    char name[20] = {};
    if (size > 4)
        std::memcpy(name, data + 4, size - 4 < 19 ? size - 4 : 19);
    const bool qualifies = tabulka.MuzePridat(score);
    tabulka.Pridej(score, name);
    bool entered = false;
    for (int i = 0; i < 10; ++i)
        entered = entered || (tabulka.Radek(i).score == score && std::strcmp(tabulka.Radek(i).name, name) == 0);
    fuzz::Over(!qualifies || entered);

    // Saved in full, and read back exactly.
    FILE* file = std::fopen("best.dat", "rb");
    fuzz::Over(file != nullptr);
    std::vector<uint8_t> saved(300);
    saved.resize(std::fread(saved.data(), 1, saved.size(), file));
    std::fclose(file);
    fuzz::Over(saved.size() == 240 && tabulka.Ulozeno());
    CNejlepsi znovu;
    for (int i = 0; i < 10; ++i) {
        fuzz::Over(znovu.Radek(i).score == tabulka.Radek(i).score);
        fuzz::Over(std::strcmp(znovu.Radek(i).name, tabulka.Radek(i).name) == 0);
    }
    return 0;
}
