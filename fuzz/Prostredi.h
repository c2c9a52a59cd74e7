// What every fuzz target shares: its game folder, and the bytes under test
// written as a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {

// The program's own folder (tests/Prostredi.cpp) is the game folder.
inline void PripravSlozkuData()
{
    std::filesystem::create_directories("data");
}

inline void Zapis(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path, "wb");
    if (!file || (size > 0 && std::fwrite(data, size, 1, file) != 1) || std::fclose(file) != 0)
        std::abort();
    // The log gets a line for many a damaged file; it must not fill the disk.
    std::remove("Ortelanka.log");
}

// A broken promise of the code under test: libFuzzer keeps the input.
inline void Over(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace fuzz
