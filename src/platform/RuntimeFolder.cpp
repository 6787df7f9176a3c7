#include "platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvt {
namespace {

bool isPrivateDirectory(const char* folder) {
    struct stat status {};
    return folder != nullptr && folder[0] == '/' && lstat(folder, &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool add(char (&folders)[kMostRuntimeFolders][kRuntimePathBytes], int& count,
         const char* folder) {
    int length = std::snprintf(folders[count], kRuntimePathBytes, "%s", folder);
    // Room must be left for the socket's own name.
    if (length <= 0 || length >= kRuntimePathBytes - 24) return false;
    for (int index = 0; index < count; ++index) {
        if (std::strcmp(folders[index], folders[count]) == 0) return false;
    }
    ++count;
    return true;
}

}  // namespace

int runtimeFolders(char (&folders)[kMostRuntimeFolders][kRuntimePathBytes]) {
    int count = 0;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime)) add(folders, count, runtime);
    char userRuntime[64];
    std::snprintf(userRuntime, sizeof userRuntime, "/run/user/%lu",
                  static_cast<unsigned long>(geteuid()));
    if (isPrivateDirectory(userRuntime)) add(folders, count, userRuntime);
    const char* temporary = std::getenv("TMPDIR");
    if (temporary == nullptr || temporary[0] != '/') temporary = "/tmp";
    char fallback[kRuntimePathBytes];
    std::snprintf(fallback, sizeof fallback, "%s/kvt936p-%lu", temporary,
                  static_cast<unsigned long>(geteuid()));
    add(folders, count, fallback);
    return count;
}

bool preparePrivateFolder(const char* folder) {
    if (mkdir(folder, 0700) != 0 && errno != EEXIST) return false;
    return isPrivateDirectory(folder);
}

}  // namespace kvt
