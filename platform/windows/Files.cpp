#include "platform/System.h"

#include "Win32.h"
// windows.h's name for ReplaceFileW.
#undef ReplaceFile

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <map>

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

// A temporary is named "best.dat.~ortelanka-Ab12Cd": a name no player
// gives a file, so the clean-up never takes one of the player's.
constexpr wchar_t kTemporaryMark[] = L".~ortelanka-";
constexpr size_t kSuffixLength = 6;
constexpr wchar_t kSuffixLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsTemporaryOf(const wchar_t* entry, const std::wstring& base)
{
    // Names on Windows match whatever their case.
    const size_t mark = sizeof kTemporaryMark / sizeof(wchar_t) - 1;
    if (_wcsnicmp(entry, base.c_str(), base.size()) != 0 || _wcsnicmp(entry + base.size(), kTemporaryMark, mark) != 0)
        return false;
    const wchar_t* suffix = entry + base.size() + mark;
    return std::wcslen(suffix) == kSuffixLength && std::wcsspn(suffix, kSuffixLetters) == kSuffixLength;
}

// A save holds its temporary open without sharing until the file has its
// final name, so Windows refuses to delete a live one: what can be deleted
// belongs to a save that was killed.
void RemoveStaleTemporaries(const std::wstring& folder, const std::wstring& base)
{
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + base + kTemporaryMark + L"*").c_str(), &entry);
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
        *temporary = path + kTemporaryMark;
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

// Another program (a virus scanner, an editor, a backup) may hold the file
// open for a moment: the replacing is tried again for a second before it is
// given up.
bool MoveOver(const std::wstring& temporary, const std::wstring& target)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
        if (!held || attempt == 20)
            return false;
        Sleep(50);
        SetLastError(error);
    }
}

// Copies of the game take turns at a file through a lock on a hidden file
// beside it ("best.dat.lock"): the file itself is replaced by every save.
struct HeldLock {
    HANDLE file = INVALID_HANDLE_VALUE;
    int held = 0;
};
std::map<std::wstring, HeldLock> heldLocks;

constexpr DWORD kLockPatienceMilliseconds = 3000;

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
    if (done && !MoveOver(temporary, target)) {
        done = false;
        error = GetLastError();
    }
    if (!done) {
        DeleteFileW(temporary.c_str());
        errno = ErrnoOf(error);
    }
    return done;
}

bool System::LockFile(const char* path)
{
    const std::wstring name = Wide(path) + L".lock";
    HeldLock& lock = heldLocks[name];
    if (lock.held > 0) {
        ++lock.held;
        return true;
    }
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        heldLocks.erase(name);
        return false;
    }
    for (DWORD waited = 0;; waited += 10) {
        OVERLAPPED start{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start))
            break;
        if (waited >= kLockPatienceMilliseconds) {
            CloseHandle(file);
            heldLocks.erase(name);
            return false;
        }
        Sleep(10);
    }
    lock = HeldLock{file, 1};
    return true;
}

void System::UnlockFile(const char* path)
{
    const auto lock = heldLocks.find(Wide(path) + L".lock");
    if (lock == heldLocks.end() || --lock->second.held > 0)
        return;
    CloseHandle(lock->second.file);  // drops the lock
    heldLocks.erase(lock);
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
