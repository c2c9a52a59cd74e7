#include "Folders.h"
#ifdef __EMSCRIPTEN__
#include "Browser.h"
#endif

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where a file the user's folder lacks is read from (the installed pictures
// and music), ending in '/'; empty for a portable game folder, which has all.
std::string dataRoot;
// The settings file's folder: empty (the game folder) when portable.
std::string settingsFolder;

bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritableFolder(const std::string& path)
{
    return IsFolder(path) && access(path.c_str(), W_OK | X_OK) == 0;
}

bool HoldsData(const std::string& folder)
{
    return !folder.empty() && IsFolder(folder + "data");
}

// Ends in '/'; empty when it cannot be found.
std::string ExecutableFolder()
{
    char* base = SDL_GetBasePath();
    if (!base)
        return "";
    std::string folder = base;
    SDL_free(base);
    return folder;
}

// $variable/ortelanka/ when it is set to an absolute path (a relative one is
// to be ignored), otherwise ~/underHome/ortelanka/; empty with no home at all.
std::string UserFolder(const char* variable, const char* underHome)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return std::string(value) + "/ortelanka/";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/')
        home = h;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        home = pw->pw_dir;
    if (home.empty())
        return "";
    return home + "/" + underHome + "/ortelanka/";
}

// Like mkdir -p; new folders are the user's own, as the XDG folders should be.
bool MakeFolders(const std::string& path)
{
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (!IsFolder(part) && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos || end + 1 == path.size())
            return IsFolder(path);
    }
}

bool EnterFolder(const std::string& folder)
{
    if (chdir(folder.c_str()) == 0)
        return true;
    std::fprintf(stderr, "ortelanka: cannot enter %s: %s\n", folder.c_str(), std::strerror(errno));
    return false;
}

}  // namespace

bool SetUpGameFolders()
{
#ifdef __EMSCRIPTEN__
    // The page has made a folder of its persistent storage the working
    // folder; the pictures and the music are in its read-only package.
    dataRoot = kBrowserDataRoot;
    return true;
#endif
    const std::string exeFolder = ExecutableFolder();
    if (HoldsData(exeFolder) && IsWritableFolder(exeFolder) && IsWritableFolder(exeFolder + "data"))
        return EnterFolder(exeFolder);  // portable: everything stays in the game folder

    // A read-only game folder is read as it is; an installed game reads the
    // share/ folder beside its bin/ (wherever the prefix was moved), or the
    // one it was built for.
    if (HoldsData(exeFolder))
        dataRoot = exeFolder;
    else if (HoldsData(exeFolder + "../share/ortelanka/"))
        dataRoot = exeFolder + "../share/ortelanka/";
    else if (HoldsData(ORTELANKA_DATA_DIR))
        dataRoot = ORTELANKA_DATA_DIR;
    else {
        std::fprintf(stderr, "ortelanka: no data/ folder beside %s, in %s../share/ortelanka/ or in %s\n",
                     exeFolder.c_str(), exeFolder.c_str(), ORTELANKA_DATA_DIR);
        return false;
    }

    const std::string userFolder = UserFolder("XDG_DATA_HOME", ".local/share");
    settingsFolder = UserFolder("XDG_CONFIG_HOME", ".config");
    if (userFolder.empty()) {
        std::fprintf(stderr, "ortelanka: no home folder to keep the game's files in\n");
        return false;
    }
    if (!MakeFolders(userFolder + "data/")) {
        std::fprintf(stderr, "ortelanka: cannot create %sdata/: %s\n", userFolder.c_str(), std::strerror(errno));
        return false;
    }
    return EnterFolder(userFolder);
}

std::string SettingsFolder()
{
    if (!settingsFolder.empty())
        MakeFolders(settingsFolder);  // a failure shows when the file is written
    return settingsFolder;
}

std::string GameFilePath(const char* name, const char* mode)
{
    const bool readOnly = mode[0] == 'r' && !std::strchr(mode, '+');
    if (readOnly && !dataRoot.empty() && name[0] != '/' && access(name, F_OK) != 0 && errno == ENOENT)
        return dataRoot + name;
    return name;
}
