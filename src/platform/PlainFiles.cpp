#include "platform/PlainFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kvt {
namespace {

enum class Owner { Anyone, Self };

// The reason the file is refused, or 0 when it may be used.
int refusalOf(const struct stat& status, Owner owner) {
    if (S_ISDIR(status.st_mode)) return EISDIR;
    if (!S_ISREG(status.st_mode)) return EINVAL;
    return owner == Owner::Self && status.st_uid != geteuid() ? EPERM : 0;
}

// Opens without blocking (a pipe's open would wait for its other end) and
// keeps the descriptor only for a file that is not refused.
int openChecked(int folder, const char* name, int flags, mode_t mode, Owner owner) {
    int descriptor = openat(folder, name, flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (descriptor < 0) return -1;
    struct stat status {};
    int reason = fstat(descriptor, &status) != 0 ? errno : refusalOf(status, owner);
    if (reason == 0) return descriptor;
    close(descriptor);
    errno = reason;
    return -1;
}

}  // namespace

int openPlainFile(const char* path, int flags, mode_t mode) {
    return openChecked(AT_FDCWD, path, flags, mode, Owner::Anyone);
}

int openPlainFileAt(int folder, const char* name, int flags, mode_t mode) {
    return openChecked(folder, name, flags | O_NOFOLLOW, mode, Owner::Anyone);
}

int openOwnPlainFileAt(int folder, const char* name, int flags, mode_t mode) {
    return openChecked(folder, name, flags | O_NOFOLLOW, mode, Owner::Self);
}

int openFolderAt(int folder, const char* name, bool create) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int descriptor = openat(folder, name, kFlags);
    if (descriptor >= 0 || errno != ENOENT || !create) return descriptor;
    // Made by another thread or process meanwhile is as good.
    if (mkdirat(folder, name, 0777) != 0 && errno != EEXIST) return -1;
    return openat(folder, name, kFlags);
}

}  // namespace kvt
