// What every fuzz target shares: a temporary folder of its own as the game
// folder, SDL's dummy drivers, and the bytes under test written as a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

inline void DoDocasnehoAdresare()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // In memory where there is such a folder: a save flushes to the disk.
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    static std::string folder;
    folder = (base / "ortelanka-fuzz-XXXXXX").string();
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0)
        std::abort();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
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
