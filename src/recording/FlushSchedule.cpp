#include "recording/FlushSchedule.h"

namespace kvt {

bool FlushSchedule::flushAtOnce(int file, uint32_t now) const {
    const FileTimes& times = files_[file];
    return !times.everFlushed || now - times.lastFlush >= kFlushSpacingMs;
}

void FlushSchedule::flushed(int file, uint32_t now, bool worked) {
    FileTimes& times = files_[file];
    times.everFlushed = true;
    times.lastFlush = now;
    if (worked) times.dirty = false;
}

uint32_t FlushSchedule::msUntilNextDue(uint32_t now) const {
    uint32_t soonest = kNothingDue;
    for (int file = 0; file < kCapacity; ++file) {
        if (!dirty(file)) continue;
        if (flushAtOnce(file, now)) return 0;
        uint32_t wait = kFlushSpacingMs - (now - files_[file].lastFlush);
        if (wait < soonest) soonest = wait;
    }
    return soonest;
}

}  // namespace kvt
