// The game's files, by the relative names the game uses ("best.dat",
// "data/tahy.dat", "data/deskaempty.bmp"...). Every file the game reads or
// writes is opened here, in the folder Folders.h decides on.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

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

// While it lives, no other copy of the game on this machine (another process
// on the same folder, another tab of the page) holds the lock of the same
// file, and the file reads as the copy that held the lock last left it: what
// is read, changed and saved under it loses nothing of another copy's work.
// When no lock can be had in time, Held() is false and the caller goes on
// without it.
class GameFileLock {
public:
    explicit GameFileLock(const char* name);
    ~GameFileLock();
    GameFileLock(const GameFileLock&) = delete;
    GameFileLock& operator=(const GameFileLock&) = delete;
    bool Held() const { return held; }

private:
    std::string name;
    bool held;
};
