// A picture file as anything at all, loaded as the game loads its pictures:
// a surface of the picture's own sane size, or none.
#include "Prostredi.h"

#include "graphics/DDFuncs.h"
#include "platform/Display.h"

static Display* display = nullptr;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PripravSlozkuData();
    display = Display::Create("fuzz", WindowPlacement{false, 0, 0});
    fuzz::Over(display != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Zapis("obrazek.bmp", data, size);
    Surface* surface = LPDDS_LoadFromFile(display, "obrazek.bmp");
    if (surface) {
        fuzz::Over(surface->Width() >= 1 && surface->Width() <= 8192);
        fuzz::Over(surface->Height() >= 1 && surface->Height() <= 8192);
        // Every pixel the picture claims was there to be read.
        fuzz::Over(static_cast<size_t>(surface->Width()) * surface->Height() / 8 <= size);
        LPDDS_Release(&surface);
    }
    return 0;
}
