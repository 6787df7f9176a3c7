#pragma once
#include <cstdint>

namespace kvt {

constexpr uint64_t kDiskLowThreshold = 524288000;  // 500 MiB

// 1 when at most 500 MiB - 1 byte are free to this user on the file system
// of the data folder, else 0. A failed query (the folder's file system is
// gone) counts as low: there is no room the recorder can rely on.
int diskLowFromFreeBytes(uint64_t freeBytes);
int probeDiskLow(const char* path);

// Probes the data folder and stores the result in the diskLow flag; a
// change is journaled with the space free.
void updateDiskLowFlag();

}  // namespace kvt
