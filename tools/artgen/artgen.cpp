// Makes every picture and the music of the game's data/ folder, or the
// desktop's icons (ortelanka-16.png ... ortelanka-256.png and ortelanka.svg).
#include "Hudba.h"
#include "Obrazky.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace {

bool NakresliIkony(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        if (!NakresliIkonu(dir + "/ortelanka-" + std::to_string(size) + ".png", size))
            return false;
    return NakresliSvgIkonu(dir + "/ortelanka.svg");
}

bool NakresliData(const std::string& dir)
{
    for (const char* sub : {"", "/hh", "/hp", "/k", "/n", "/intro", "/sound"})
        std::filesystem::create_directories(dir + sub);
    if (!NakresliObrazky(dir))
        return false;
    if (!ZahrajHudbu(dir + "/sound/music.wav")) {
        std::fprintf(stderr, "artgen: cannot write the music\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool ikony = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !ikony) {
        std::fprintf(stderr, "usage: artgen DATA_DIR\n       artgen --icons ICON_DIR\n");
        return 2;
    }
    try {
        return (ikony ? NakresliIkony(argv[2]) : NakresliData(argv[1])) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
}
