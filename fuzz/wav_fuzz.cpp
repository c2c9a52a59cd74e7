// data/sound/music.wav as anything at all: the loader holds what the file
// holds or nothing, and whatever it gives the device is whole frames of a
// playable format.
#include "Prostredi.h"

#include "sound/DSFuncs.h"
#include "sound/WAVLoader.h"

static SoundDevice* device = nullptr;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::DoDocasnehoAdresare();
    device = SoundDevice::Create();
    fuzz::Over(device != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Zapis("music.wav", data, size);
    CWAVLoader loader;
    if (loader.Load("music.wav")) {
        const uint32_t length = loader.GetLength();
        fuzz::Over(length + 20 <= size);  // the RIFF header and the data chunk's own
        fuzz::Over((loader.GetData() != nullptr) == (length > 0));
        fuzz::Over(loader.TakeData().size() == length && loader.GetLength() == 0);
    } else {
        fuzz::Over(loader.GetFormat() == nullptr && loader.GetData() == nullptr && loader.GetLength() == 0);
    }

    SoundBuffer* buffer = LPDSB_LoadFromFile(device, "music.wav", 0);
    if (buffer) {
        fuzz::Over(buffer->Bytes() > 0 && buffer->Play(true));
        LPDSB_Release(&buffer);
    }
    return 0;
}
