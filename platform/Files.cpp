#include "Files.h"

#ifdef __EMSCRIPTEN__
#include "Browser.h"
#endif

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
    FILE* file = std::fopen(name, mode);
#ifdef __EMSCRIPTEN__
    // The page runs the game in its persistent storage; the pictures and the
    // music are read from its read-only package.
    if (!file && mode[0] == 'r')
        file = std::fopen((std::string(kBrowserDataRoot) + name).c_str(), mode);
#endif
    return file;
}
