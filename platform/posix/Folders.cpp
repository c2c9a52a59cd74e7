// Where the game's files are on a POSIX system: the game folder when it is
// portable; installed, the read-only share/ folder for the pictures and music
// and the user's XDG folders for everything the game writes.
#include "platform/System.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

bool EnterFolder(const std::string& folder)
{
    if (chdir(folder.c_str()) == 0)
        return true;
    std::fprintf(stderr, "ortelanka: cannot enter %s: %s\n", folder.c_str(), std::strerror(errno));
    return false;
}

}  // namespace

bool System::ChooseGameFolders(GameFolders* folders)
{
    const std::string exeFolder = ExecutableFolder();
    if (HoldsData(exeFolder) && IsWritableFolder(exeFolder) && IsWritableFolder(exeFolder + "data"))
        return EnterFolder(exeFolder);  // portable: everything stays in the game folder

    // A read-only game folder is read as it is; an installed game reads the
    // share/ folder beside its bin/ (wherever the prefix was moved), or the
    // one it was built for.
    if (HoldsData(exeFolder))
        folders->dataRoot = exeFolder;
    else if (HoldsData(exeFolder + "../share/ortelanka/"))
        folders->dataRoot = exeFolder + "../share/ortelanka/";
    else if (HoldsData(ORTELANKA_DATA_DIR))
        folders->dataRoot = ORTELANKA_DATA_DIR;
    else {
        std::fprintf(stderr, "ortelanka: no data/ folder beside %s, in %s../share/ortelanka/ or in %s\n",
                     exeFolder.c_str(), exeFolder.c_str(), ORTELANKA_DATA_DIR);
        return false;
    }

    const std::string userFolder = UserFolder("XDG_DATA_HOME", ".local/share");
    folders->settingsFolder = UserFolder("XDG_CONFIG_HOME", ".config");
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
