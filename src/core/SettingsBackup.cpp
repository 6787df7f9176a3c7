#include "core/SettingsBackup.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/Clock.h"
#include "platform/PlainFiles.h"

namespace kvt {
namespace {

constexpr int kMostBackupsPerSecond = 100;
constexpr const char* kBackupMark = ".damaged-";

bool backupName(char (&name)[PATH_MAX], const char* path, const SystemTime& time, int number) {
    char suffix[16] = "";
    if (number > 1) std::snprintf(suffix, sizeof suffix, "-%d", number);
    int length = std::snprintf(name, sizeof name, "%s%s%04d%02d%02d-%02d%02d%02d%s", path,
                               kBackupMark, time.year, time.month, time.day, time.hour, time.minute,
                               time.second, suffix);
    return length > 0 && length < static_cast<int>(sizeof name);
}

// Copies the file into a new file `target`; false when `target` exists
// already (errno EEXIST) or the copy fails. A copy, not a hard link: a link
// would follow every later change made to the settings file in place.
bool copyToNewFile(const char* source, const char* target) {
    int input = openPlainFile(source, O_RDONLY);
    if (input < 0) return false;
    int output = open(target, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (output < 0) {
        int reason = errno;
        close(input);
        errno = reason;
        return false;
    }
    char buffer[8192];
    bool whole = true;
    for (ssize_t got; (got = read(input, buffer, sizeof buffer)) != 0;) {
        if (got < 0 || write(output, buffer, static_cast<size_t>(got)) != got) {
            whole = false;
            break;
        }
    }
    close(input);
    if (fsync(output) != 0) whole = false;
    if (close(output) != 0) whole = false;
    if (!whole) unlink(target);
    errno = whole ? 0 : EIO;
    return whole;
}

}  // namespace

int keepDamagedSettings(const char* path, char* keptAs, int keptAsSize) {
    SystemTime now = activeClock().localTime();
    char name[PATH_MAX];
    for (int number = 1; number <= kMostBackupsPerSecond; ++number) {
        if (!backupName(name, path, now, number)) return -1;
        if (copyToNewFile(path, name)) {
            if (keptAs != nullptr && keptAsSize > 0) std::snprintf(keptAs, keptAsSize, "%s", name);
            return 0;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool anySettingsBackup(const char* path, const std::function<bool(const char*)>& visit) {
    const char* slash = std::strrchr(path, '/');
    char folder[PATH_MAX] = ".";
    if (slash != nullptr) {
        std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - path), path);
    }
    char prefix[PATH_MAX];
    std::snprintf(prefix, sizeof prefix, "%s%s", slash != nullptr ? slash + 1 : path,
                  kBackupMark);
    DIR* directory = opendir(folder[0] != '\0' ? folder : "/");
    if (directory == nullptr) return false;
    bool found = false;
    while (dirent* entry = readdir(directory)) {
        if (std::strncmp(entry->d_name, prefix, std::strlen(prefix)) != 0) continue;
        char backup[PATH_MAX];
        std::snprintf(backup, sizeof backup, "%s/%s", folder, entry->d_name);
        if ((found = visit(backup))) break;
    }
    closedir(directory);
    return found;
}

}  // namespace kvt
