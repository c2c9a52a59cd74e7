#include "DSFuncs.h"

#include "WAVLoader.h"
#include "log/Log.h"

#include <cerrno>
#include <cstdio>

// A sound file that is not there is simply not played; one that is there but
// cannot be played gets one line in the log.
SoundBuffer* LPDSB_LoadFromFile(SoundDevice* ds, const char* fileName, unsigned long)
{
    if (!ds)
        return nullptr;
    CWAVLoader loader;
    errno = 0;
    SoundBuffer* buffer = nullptr;
    if (loader.Load(fileName) && loader.GetFormat())
        buffer = ds->CreateSoundBuffer(*loader.GetFormat(), loader.TakeData());
    else if (errno == ENOENT)
        return nullptr;
    if (!buffer) {
        char message[200];
        std::snprintf(message, sizeof message, "Hudbu nelze prehrat: %s", fileName);
        Log.Write(message, 2);
    }
    return buffer;
}

void LPDSB_Release(SoundBuffer** buffer)
{
    if (*buffer) {
        delete *buffer;
        *buffer = nullptr;
    }
}
