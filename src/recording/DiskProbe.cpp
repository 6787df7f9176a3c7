#include "recording/DiskProbe.h"

#include <sys/statvfs.h>

#include "core/RunFlags.h"
#include "platform/Paths.h"

namespace kvt {

int diskLowFromFreeBytes(uint64_t freeBytes) { return freeBytes < kDiskLowThreshold ? 1 : 0; }

int probeDiskLow(const char* path) {
    struct statvfs status {};
    if (statvfs(path, &status) != 0) return 1;
    uint64_t freeBytes = static_cast<uint64_t>(status.f_bavail) * status.f_frsize;
    return diskLowFromFreeBytes(freeBytes);
}

void updateDiskLowFlag() { store(diskLow, probeDiskLow(dataFolder())); }

}  // namespace kvt
