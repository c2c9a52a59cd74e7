// Reads the format and the samples of a RIFF/WAVE file.
#pragma once

#include "platform/Sound.h"

#include <cstdint>

class CWAVLoader {
public:
    CWAVLoader() = default;
    ~CWAVLoader();
    CWAVLoader(const CWAVLoader&) = delete;
    CWAVLoader& operator=(const CWAVLoader&) = delete;

    // 1 loaded, 0 failed (nothing is held then).
    int Load(const char* fileName);
    void Destroy();
    WAVEFORMATEX* GetFormat() { return format; }
    uint8_t* GetData() { return data; }
    uint32_t GetLength() { return length; }

private:
    WAVEFORMATEX* format = nullptr;
    uint8_t* data = nullptr;
    uint32_t length = 0;
};
