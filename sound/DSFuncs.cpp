#include "DSFuncs.h"

#include "WAVLoader.h"

#include <cstring>

SoundBuffer* LPDSB_LoadFromFile(SoundDevice* ds, const char* fileName, unsigned long)
{
    CWAVLoader loader;
    if (!ds || !loader.Load(fileName) || !loader.GetFormat())
        return nullptr;
    SoundBuffer* buffer = ds->CreateSoundBuffer(*loader.GetFormat(), loader.GetLength());
    if (!buffer)
        return nullptr;
    void* region = nullptr;
    uint32_t bytes = 0;
    if (!buffer->Lock(&region, &bytes)) {
        LPDSB_Release(&buffer);
        return nullptr;
    }
    std::memcpy(region, loader.GetData(), loader.GetLength());
    if (!buffer->Unlock())
        LPDSB_Release(&buffer);
    return buffer;
}

void LPDSB_Release(SoundBuffer** buffer)
{
    if (*buffer) {
        delete *buffer;
        *buffer = nullptr;
    }
}
