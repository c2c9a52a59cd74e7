// data/sound/music.wav as anything at all: the loader holds what the file
// holds or nothing. (Opening the output for every input would take most of
// the time; what the device takes is in the sound tests.)
#include "Prostredi.h"

#include "sound/WAVLoader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PripravSlozkuData();
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
    return 0;
}
