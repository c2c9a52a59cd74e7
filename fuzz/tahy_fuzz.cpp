// data/tahy.dat as anything at all: recording a move keeps every whole record
// already there, cuts a partial one, appends the new one, and a.a counts what
// was there.
#include "Prostredi.h"

#include "board/HraciPole.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

static std::vector<uint8_t> Cti(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PripravSlozkuData();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static CHraciPole deska;
    const int x = data[0] % HRACIPOLEX, y = data[1] % HRACIPOLEY;
    std::remove("a.a");
    fuzz::Zapis("data/tahy.dat", data + 2, size - 2);
    fuzz::Over(deska.UlozTah(x, y));

    const size_t whole = (size - 2) / 4;
    std::vector<uint8_t> expected(data + 2, data + 2 + whole * 4);
    const uint32_t cell = static_cast<uint32_t>(y * HRACIPOLEX + x);
    for (int i = 0; i < 4; ++i)
        expected.push_back(static_cast<uint8_t>(cell >> (8 * i)));
    fuzz::Over(Cti("data/tahy.dat") == expected);
    const std::vector<uint8_t> count = Cti("a.a");
    fuzz::Over(std::string(count.begin(), count.end()) == std::to_string(whole));
    return 0;
}
