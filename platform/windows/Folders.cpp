#include "platform/System.h"

#include "Win32.h"

#include <SDL.h>

#include <cstdio>

using win32::Utf8;

namespace {

// The installer leaves its uninstaller beside the game; the zip has none.
// Installed, the game keeps its files in %APPDATA% even where it could
// write to its Program Files folder.
const wchar_t kUninstaller[] = L"Uninstall.exe";

// Whether a file can really be made in the folder: Windows' own answer to
// "may I write here" says yes for folders that then refuse the file.
bool CanWriteIn(const std::wstring& folder)
{
    const std::wstring probe = folder + L".ortelanka-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, "?", 1, &written, nullptr) && written == 1;
    CloseHandle(file);
    return wrote;
}

void Complain(const std::string& text)
{
    if (System::ReachConsole())
        std::fprintf(stderr, "ortelanka: %s\n", text.c_str());
    else
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Ortelanka", text.c_str(), nullptr);
}

bool EnterFolder(const std::wstring& folder)
{
    if (SetCurrentDirectoryW(folder.c_str()))
        return true;
    Complain("cannot enter " + Utf8(folder));
    return false;
}

std::string WithSlashes(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

}  // namespace

bool System::ChooseGameFolders(GameFolders* folders)
{
    *folders = GameFolders();
    const std::wstring exeFolder = win32::ExecutableFolder();
    if (exeFolder.empty() || !win32::IsFolder(exeFolder + L"data")) {
        Complain("no data\\ folder beside " + Utf8(exeFolder) + "ortelanka.exe");
        return false;
    }
    const bool installed = GetFileAttributesW((exeFolder + kUninstaller).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!installed && CanWriteIn(exeFolder) && CanWriteIn(exeFolder + L"data\\"))
        return EnterFolder(exeFolder);  // portable: everything stays beside the game

    // %APPDATA%\Ortelanka\, the settings in it too; the pictures and the
    // music are read from the game's own folder.
    char* pref = SDL_GetPrefPath("", "Ortelanka");
    if (!pref) {
        Complain(std::string("no folder for the game's files in %APPDATA%: ") + SDL_GetError());
        return false;
    }
    const std::string userFolder = pref;
    SDL_free(pref);
    if (!MakeFolders(userFolder + "data")) {
        Complain("cannot create " + userFolder + "data");
        return false;
    }
    folders->dataRoot = WithSlashes(Utf8(exeFolder));
    return EnterFolder(win32::Wide(userFolder));
}
