// Copies of the game on a POSIX desktop take turns at a file through a lock
// on its folder: a file replaced by a rename is a new file each time, and a
// lock on the old one would no longer keep anyone out. Held per folder, so
// two files of one folder are never locked against each other.
#include "platform/System.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct FolderLock {
    int fd = -1;
    int held = 0;
};
std::map<std::string, FolderLock> folderLocks;

constexpr uint32_t kLockPatienceMilliseconds = 3000;

std::string FolderOf(const char* path)
{
    const std::string p(path);
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
}

}  // namespace

bool System::LockFile(const char* path)
{
    const std::string folder = FolderOf(path);
    const auto known = folderLocks.find(folder);
    if (known != folderLocks.end()) {
        ++known->second.held;
        return true;
    }
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    for (uint32_t waited = 0; flock(fd, LOCK_EX | LOCK_NB) != 0; waited += 10) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockPatienceMilliseconds) {
            close(fd);
            return false;
        }
        Pause(10);
    }
    folderLocks[folder] = FolderLock{fd, 1};
    return true;
}

void System::UnlockFile(const char* path)
{
    const auto lock = folderLocks.find(FolderOf(path));
    if (lock == folderLocks.end() || --lock->second.held > 0)
        return;
    close(lock->second.fd);  // drops the lock
    folderLocks.erase(lock);
}
