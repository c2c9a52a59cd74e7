// The game's files, by the relative names the game uses ("best.dat",
// "data/tahy.dat", "data/deskaempty.bmp"...). Every file the game reads or
// writes is opened here, so where the files live and how they are opened is
// decided in one place.
#pragma once

#include <cstdio>

// Like std::fopen, for one of the game's files.
FILE* OpenGameFile(const char* name, const char* mode);
