// The game's files, by the relative names the game uses ("best.dat",
// "data/tahy.dat", "data/deskaempty.bmp"...). Every file the game reads or
// writes is opened here, in the folder Folders.h decides on.
#pragma once

#include <cstddef>
#include <cstdio>

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
