// Files on a POSIX system: opened without waiting on whatever stands in a
// file's place, replaced atomically through a locked temporary.
#include "platform/System.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenFlags(const char* mode)
{
    const bool plus = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r':
        return plus ? O_RDWR : O_RDONLY;
    case 'w':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
        return -1;
    }
}

// A FIFO would block the open until someone writes to it, so the file is
// opened without waiting, looked at, and only a regular file is kept.
FILE* OpenRegular(const char* path, const char* mode)
{
    const int flags = OpenFlags(mode);
    if (flags < 0) {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, flags & O_APPEND) != 0) {
        close(fd);
        errno = ENODEV;
        return nullptr;
    }
    FILE* file = fdopen(fd, mode);
    if (!file)
        close(fd);
    return file;
}

void SplitPath(const std::string& path, std::string* folder, std::string* base)
{
    const size_t slash = path.rfind('/');
    *folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    *base = slash == std::string::npos ? path : path.substr(slash + 1);
}

// A temporary is named "best.dat.~ortelanka-Ab12Cd": a name no player
// gives a file, so the clean-up never takes one of the player's.
constexpr char kTemporaryMark[] = ".~ortelanka-";
constexpr size_t kSuffixLength = 6;
constexpr char kSuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsTemporaryOf(const char* entry, const std::string& base)
{
    const size_t mark = sizeof kTemporaryMark - 1;
    if (std::strncmp(entry, base.c_str(), base.size()) != 0 || std::strncmp(entry + base.size(), kTemporaryMark, mark) != 0)
        return false;
    const char* suffix = entry + base.size() + mark;
    return std::strlen(suffix) == kSuffixLength && std::strspn(suffix, kSuffixLetters) == kSuffixLength;
}

// A save holds a lock on its temporary file until the file has its final
// name, so a temporary that can be locked belongs to a save that was killed
// (in this run or an earlier one), never to a save still going on.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (!IsTemporaryOf(entry->d_name, base))
            continue;
        const int fd = openat(dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(dir), entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

// A new file of a name nobody has used: created exclusively, so a link or a
// file planted under that name is never written through; locked at once.
int CreateTemporary(const std::string& path, std::string* temporary)
{
    uint64_t state = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     static_cast<uint64_t>(getpid()) << 32;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = path + kTemporaryMark;
        for (size_t i = 0; i < kSuffixLength; ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            temporary->push_back(kSuffixLetters[(state >> 33) % (sizeof kSuffixLetters - 1)]);
        }
        const int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            flock(fd, LOCK_EX);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool WriteAll(int fd, const void* bytes, size_t size)
{
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = write(fd, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        at += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself survive a power cut. A file system that cannot
// flush a folder has nothing more to flush.
void FlushFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

FILE* System::OpenRegularFile(const char* path, const char* mode)
{
    return OpenRegular(path, mode);
}

bool System::ReplaceFile(const char* path, const void* bytes, size_t size)
{
    std::string folder, base;
    SplitPath(path, &folder, &base);
    RemoveStaleTemporaries(folder, base);
    std::string temporary;
    const int fd = CreateTemporary(path, &temporary);
    if (fd < 0)
        return false;
    const bool done = WriteAll(fd, bytes, size) && fsync(fd) == 0 && rename(temporary.c_str(), path) == 0;
    const int error = errno;
    if (!done)
        unlink(temporary.c_str());
    close(fd);  // the contents are on the disk already; this only drops the lock
    if (done)
        FlushFolder(folder);
    errno = error;
    return done;
}

bool System::FileMissing(const char* path)
{
    return access(path, F_OK) != 0 && errno == ENOENT;
}

bool System::MakeFolders(const std::string& path)
{
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (!IsFolder(part) && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos || end + 1 == path.size())
            return IsFolder(path);
    }
}
