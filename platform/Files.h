// The game's files, by the relative names the game uses ("best.dat",
// "data/tahy.dat", "data/deskaempty.bmp"...). Every file the game reads or
// writes is opened here, so where the files live and how they are opened is
// decided in one place.
#pragma once

#include <cstdio>
#include <string>

// Decides once, at start and before any file is opened, where the files are:
// a writable game folder with data/ beside the executable is used as it is
// (portable); an installed game reads its pictures and music from the
// installed data folder and writes everything to the user's data folder.
// False when no usable folder can be had.
bool SetUpGameFolders();

// The folder of the settings file, empty or ending in '/'.
std::string SettingsFolder();

// Like std::fopen, for one of the game's files.
FILE* OpenGameFile(const char* name, const char* mode);
