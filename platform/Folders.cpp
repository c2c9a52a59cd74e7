#include "Folders.h"

#include "System.h"

#include <cstring>

namespace {

System::GameFolders chosen;

}  // namespace

bool SetUpGameFolders()
{
    chosen = System::GameFolders();
    return System::ChooseGameFolders(&chosen);
}

std::string SettingsFolder()
{
    if (!chosen.settingsFolder.empty())
        System::MakeFolders(chosen.settingsFolder);  // a failure shows when the file is written
    return chosen.settingsFolder;
}

std::string GameFilePath(const char* name, const char* mode)
{
    const bool readOnly = mode[0] == 'r' && !std::strchr(mode, '+');
    if (readOnly && !chosen.dataRoot.empty() && name[0] != '/' && System::FileMissing(name))
        return chosen.dataRoot + name;
    return name;
}
