// Reads the format and the samples of a RIFF/WAVE file.
#pragma once

#include "platform/Sound.h"

#include <cstdint>
#include <vector>

class CWAVLoader {
public:
    CWAVLoader() = default;
    ~CWAVLoader();
    CWAVLoader(const CWAVLoader&) = delete;
    CWAVLoader& operator=(const CWAVLoader&) = delete;

    // 1 loaded, 0 failed (nothing is held then). A file larger than
    // kLargestFile is refused before anything of it is read.
    int Load(const char* fileName);
    void Destroy();
    WAVEFORMATEX* GetFormat() { return format; }
    uint8_t* GetData() { return data.empty() ? nullptr : data.data(); }
    uint32_t GetLength() { return length; }
    // Hands the samples over without copying them; the loader is then empty.
    std::vector<uint8_t> TakeData();

    static constexpr long kLargestFile = 64L << 20;

private:
    WAVEFORMATEX* format = nullptr;
    std::vector<uint8_t> data;
    uint32_t length = 0;
};
