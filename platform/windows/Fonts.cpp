#include "platform/System.h"

#include "Win32.h"

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <map>
#include <utility>

using win32::Wide;

namespace {

// Where the packages put the face the game falls back on, with its licence.
const wchar_t kBundledFont[] = L"fonts\\DejaVuSans-Bold.ttf";

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// The face Windows' font mapper gives for a face name and weight, among the
// outline fonts (the only ones SDL_ttf reads).
std::wstring MappedFace(const std::wstring& face, int weight)
{
    LOGFONTW wanted{};
    wanted.lfHeight = -34;
    wanted.lfWeight = weight;
    wanted.lfCharSet = EASTEUROPE_CHARSET;
    wanted.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    const HFONT font = CreateFontIndirectW(&wanted);
    const HDC context = CreateCompatibleDC(nullptr);
    if (!font || !context) {
        if (font)
            DeleteObject(font);
        if (context)
            DeleteDC(context);
        return std::wstring();
    }
    const HGDIOBJ previous = SelectObject(context, font);
    wchar_t chosen[LF_FACESIZE] = {};
    const int length = GetTextFaceW(context, LF_FACESIZE, chosen);
    SelectObject(context, previous);
    DeleteDC(context);
    DeleteObject(font);
    return std::wstring(chosen, length > 0 ? static_cast<size_t>(length - 1) : 0);
}

std::wstring FontsFolder()
{
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(windows, length) + L"\\Fonts\\";
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a value name of the fonts' registry key ("Verdana Bold (TrueType)",
// "Cambria & Cambria Math (TrueType)") names the font.
bool NamesFont(std::wstring name, const std::wstring& font)
{
    const size_t kind = name.rfind(L" (");
    if (kind != std::wstring::npos && name.back() == L')')
        name.resize(kind);
    for (size_t start = 0;;) {
        const size_t end = name.find(L" & ", start);
        if (SameName(name.substr(start, end == std::wstring::npos ? end : end - start), font))
            return true;
        if (end == std::wstring::npos)
            return false;
        start = end + 3;
    }
}

// The file of an installed font by its full name ("Verdana Bold"): the
// machine's fonts, then the user's own.
std::wstring RegisteredFile(const std::wstring& font)
{
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key;
        if (RegOpenKeyExW(root, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            continue;
        std::wstring file;
        for (DWORD index = 0; file.empty(); ++index) {
            wchar_t name[512];
            wchar_t data[MAX_PATH];
            DWORD nameLength = 512, dataBytes = sizeof data - sizeof(wchar_t), type = 0;
            const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data), &dataBytes);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result != ERROR_SUCCESS || type != REG_SZ || !NamesFont(std::wstring(name, nameLength), font))
                continue;
            data[dataBytes / sizeof(wchar_t)] = L'\0';
            std::wstring path = data;
            // A bare name is in the system's font folder.
            if (path.find_first_of(L"\\/:") == std::wstring::npos)
                path = FontsFolder() + path;
            if (IsFile(path))
                file = path;
        }
        RegCloseKey(key);
        if (!file.empty())
            return file;
    }
    return std::wstring();
}

std::wstring InstalledFontFile(const char* face, int weight)
{
    // The game's "Sans" is the default face of a drawing context: the
    // system's dialog face.
    const std::wstring asked = std::strcmp(face, "Sans") == 0 ? L"MS Shell Dlg 2" : Wide(face);
    const std::wstring mapped = MappedFace(asked, weight);
    // A named face that the mapper replaced by another is missing.
    if (mapped.empty() || (asked != L"MS Shell Dlg 2" && !SameName(mapped, asked)))
        return std::wstring();
    const bool bold = weight >= 600;
    return RegisteredFile(bold ? mapped + L" Bold" : mapped);
}

}  // namespace

std::string System::FontFile(const char* face, int weight)
{
    static std::map<std::pair<std::string, int>, std::string> known;
    const auto key = std::make_pair(std::string(face), weight);
    if (auto found = known.find(key); found != known.end())
        return found->second;
    std::wstring file = InstalledFontFile(face, weight);
    if (file.empty()) {
        const std::wstring bundled = win32::ExecutableFolder() + kBundledFont;
        if (IsFile(bundled))
            file = bundled;
    }
    return known[key] = win32::Utf8(file);
}
