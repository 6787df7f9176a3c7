#pragma once
#include <functional>

namespace kvt {

// Keeps the settings file at `path` as it is now, beside it, under a name no
// earlier start has used: "<path>.damaged-YYYYMMDD-HHMMSS" by the local
// time, with "-2", "-3", ... added when that name is taken. An existing
// backup is never overwritten. Returns 0 (and the copy's path in `keptAs`,
// when given), or -1 when no copy could be made (errno says why).
int keepDamagedSettings(const char* path, char* keptAs = nullptr, int keptAsSize = 0);

// Calls `visit` with the path of every backup kept beside `path` until one
// call returns true; returns whether one did.
bool anySettingsBackup(const char* path, const std::function<bool(const char*)>& visit);

}  // namespace kvt
