#include "recording/DiskProbe.h"

#include <sys/statvfs.h>

#include "core/RunFlags.h"
#include "journal/JournalPosts.h"
#include "platform/Paths.h"

namespace kvt {
namespace {

constexpr uint64_t kMiB = 1024 * 1024;

// Bytes free to this user on the file system of `path`; false when the
// query fails.
bool freeBytesAt(const char* path, uint64_t& freeBytes) {
    struct statvfs status {};
    if (statvfs(path, &status) != 0) return false;
    freeBytes = static_cast<uint64_t>(status.f_bavail) * status.f_frsize;
    return true;
}

}  // namespace

int diskLowFromFreeBytes(uint64_t freeBytes) { return freeBytes < kDiskLowThreshold ? 1 : 0; }

int probeDiskLow(const char* path) {
    uint64_t freeBytes = 0;
    return freeBytesAt(path, freeBytes) ? diskLowFromFreeBytes(freeBytes) : 1;
}

void updateDiskLowFlag() {
    uint64_t freeBytes = 0;
    int low = freeBytesAt(dataFolder(), freeBytes) ? diskLowFromFreeBytes(freeBytes) : 1;
    if (low == load(diskLow)) return;
    store(diskLow, low);
    journalDiskSpace(low == 1, static_cast<int64_t>(freeBytes / kMiB), dataFolder());
}

}  // namespace kvt
