// The game's files, by the relative names the game uses ("best.dat",
// "data/tahy.dat", "data/deskaempty.bmp"...). Every file the game reads or
// writes is opened here, so where the files live and how they are opened is
// decided in one place.
#pragma once

#include <cstddef>
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

// Like std::fopen, for one of the game's files, but only ever a regular file:
// a directory, a FIFO or a device in its place is refused without waiting on
// it. Null with errno set: ENOENT when the file is not there, ENODEV (or
// the system's own reason, such as EISDIR) when something other than a
// regular file stands in its place.
FILE* OpenGameFile(const char* name, const char* mode);

// Replaces the whole file at once: the bytes go to a new temporary file
// beside it, which is flushed to the disk and renamed over the old one, so a
// crash or a power cut leaves either the old or the new contents, never a
// mixture. Temporaries left behind by an earlier save that was killed are
// removed first. False, with errno set, when the file could not be replaced;
// the old one is then untouched.
bool ReplaceGameFile(const char* name, const void* bytes, size_t size);
