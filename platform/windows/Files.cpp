#include "platform/System.h"

#include "Win32.h"
// windows.h's name for ReplaceFileW.
#undef ReplaceFile

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

using win32::ErrnoOf;
using win32::Wide;

namespace {

// The file is opened by Windows itself, then handed to the C library in the
// mode asked for: text mode ("w") writes "\n" as CR LF, as the original's
// files and log were; "b" keeps every byte as it is.
struct OpenMode {
    DWORD access;
    DWORD disposition;
    int flags;
};

bool ReadMode(const char* mode, OpenMode* open)
{
    const bool plus = std::strchr(mode, '+') != nullptr;
    const int binary = std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT;
    const DWORD both = GENERIC_READ | GENERIC_WRITE;
    switch (mode[0]) {
    case 'r':
        *open = {plus ? both : GENERIC_READ, OPEN_EXISTING, (plus ? _O_RDWR : _O_RDONLY) | binary};
        return true;
    case 'w':
        *open = {plus ? both : GENERIC_WRITE, CREATE_ALWAYS, (plus ? _O_RDWR : _O_WRONLY) | binary};
        return true;
    case 'a':
        *open = {plus ? both : GENERIC_WRITE, OPEN_ALWAYS, (plus ? _O_RDWR : _O_WRONLY) | _O_APPEND | binary};
        return true;
    default:
        return false;
    }
}

constexpr size_t kSuffixLength = 6;
constexpr wchar_t kSuffixLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsTemporaryOf(const wchar_t* entry, const std::wstring& base)
{
    // Names on Windows match whatever their case.
    if (_wcsnicmp(entry, base.c_str(), base.size()) != 0 || entry[base.size()] != L'.')
        return false;
    const wchar_t* suffix = entry + base.size() + 1;
    return std::wcslen(suffix) == kSuffixLength && std::wcsspn(suffix, kSuffixLetters) == kSuffixLength;
}

// A save holds its temporary open without sharing until the file has its
// final name, so Windows refuses to delete a live one: what can be deleted
// belongs to a save that was killed.
void RemoveStaleTemporaries(const std::wstring& folder, const std::wstring& base)
{
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + base + L".*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryOf(entry.cFileName, base))
            DeleteFileW((folder + entry.cFileName).c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

// A new file of a name nobody has used, created exclusively and shared with
// nobody, so a file planted under that name is never written through.
HANDLE CreateTemporary(const std::wstring& path, std::wstring* temporary)
{
    static uint64_t state = GetTickCount64() ^ static_cast<uint64_t>(GetCurrentProcessId()) << 32;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = path + L'.';
        for (size_t i = 0; i < kSuffixLength; ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            temporary->push_back(kSuffixLetters[(state >> 33) % (sizeof kSuffixLetters / sizeof(wchar_t) - 1)]);
        }
        const HANDLE file =
            CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* bytes, size_t size)
{
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, at, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        at += written;
        size -= written;
    }
    return true;
}

}  // namespace

FILE* System::OpenRegularFile(const char* path, const char* mode)
{
    OpenMode open;
    if (!ReadMode(mode, &open)) {
        errno = EINVAL;
        return nullptr;
    }
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    // Shared for deleting too: a save may replace a file someone is reading.
    const HANDLE file = CreateFileW(name.c_str(), open.access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, open.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return nullptr;
    }
    // A console, a printer port or a pipe under a game file's name ("CON",
    // "LPT1") is no file.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        errno = ENODEV;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), open.flags);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, mode);
    if (!stream)
        _close(fd);
    return stream;
}

bool System::ReplaceFile(const char* path, const void* bytes, size_t size)
{
    const std::wstring target = Wide(path);
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring base = slash == std::wstring::npos ? target : target.substr(slash + 1);
    RemoveStaleTemporaries(folder, base);
    std::wstring temporary;
    const HANDLE file = CreateTemporary(target, &temporary);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return false;
    }
    bool done = WriteAll(file, bytes, size) && FlushFileBuffers(file);
    DWORD error = done ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    // Unlike rename(), this replaces an existing file; it returns once the
    // move is on the disk.
    if (done && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        done = false;
        error = GetLastError();
    }
    if (!done) {
        DeleteFileW(temporary.c_str());
        errno = ErrnoOf(error);
    }
    return done;
}

bool System::FileMissing(const char* path)
{
    if (GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool System::MakeFolders(const std::string& path)
{
    std::wstring folder = Wide(path);
    for (wchar_t& c : folder)
        if (c == L'/')
            c = L'\\';
    // The root is there already: "C:\", "\\server\share\" or "\".
    size_t start = 0;
    if (folder.size() >= 2 && folder[1] == L':')
        start = 2;
    else if (folder.compare(0, 2, L"\\\\") == 0)
        start = folder.find(L'\\', folder.find(L'\\', 2) + 1);
    if (start == std::wstring::npos)
        return win32::IsFolder(folder);
    for (size_t end = folder.find(L'\\', start + 1);; end = folder.find(L'\\', end + 1)) {
        const std::wstring part = folder.substr(0, end);
        if (!win32::IsFolder(part) && !CreateDirectoryW(part.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            errno = ErrnoOf(GetLastError());
            return false;
        }
        if (end == std::wstring::npos || end + 1 == folder.size())
            return win32::IsFolder(folder);
    }
}
