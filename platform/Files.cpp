#include "Files.h"

#include "Folders.h"
#include "System.h"

FILE* OpenGameFile(const char* name, const char* mode)
{
    return System::OpenRegularFile(GameFilePath(name, mode).c_str(), mode);
}

bool ReplaceGameFile(const char* name, const void* bytes, size_t size)
{
    return System::ReplaceFile(name, bytes, size);
}

GameFileLock::GameFileLock(const char* n) : name(n), held(System::LockFile(n)) {}

GameFileLock::~GameFileLock()
{
    if (held)
        System::UnlockFile(name.c_str());
}
