// Makes every picture and the music of the game's data/ folder.
#include "Hudba.h"
#include "Obrazky.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen DATA_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        for (const char* sub : {"", "/hh", "/hp", "/k", "/n", "/intro", "/sound"})
            std::filesystem::create_directories(dir + sub);
        if (!NakresliObrazky(dir))
            return 1;
        if (!ZahrajHudbu(dir + "/sound/music.wav")) {
            std::fprintf(stderr, "artgen: cannot write the music\n");
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
