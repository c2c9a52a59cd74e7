#include "Files.h"

bool SetUpGameFolders()
{
    return true;
}

std::string SettingsFolder()
{
    return "";
}

FILE* OpenGameFile(const char* name, const char* mode)
{
    return std::fopen(name, mode);
}
