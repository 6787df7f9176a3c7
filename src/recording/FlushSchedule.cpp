#include "recording/FlushSchedule.h"

namespace kvt {
namespace {

uint32_t msUntil(uint32_t since, uint32_t now) {
    uint32_t passed = now - since;
    return passed >= kFlushSpacingMs ? 0 : kFlushSpacingMs - passed;
}

}  // namespace

bool FlushSchedule::flushAtOnce(int file, uint32_t now) const {
    const FileTimes& times = files_[file];
    return !times.everFlushed || msUntil(times.lastFlush, now) == 0;
}

void FlushSchedule::appended(int file, uint32_t now) {
    FileTimes& times = files_[file];
    if (!times.dirty) times.dirtySince = now;
    times.dirty = true;
}

void FlushSchedule::flushed(int file, uint32_t now, bool worked) {
    FileTimes& times = files_[file];
    times.everFlushed = true;
    times.lastFlush = now;
    if (worked) times.dirty = false;
}

uint32_t FlushSchedule::msUntilDue(int file, uint32_t now) const {
    const FileTimes& times = files_[file];
    uint32_t spacing = times.everFlushed ? msUntil(times.lastFlush, now) : 0;
    uint32_t age = msUntil(times.dirtySince, now);
    return spacing > age ? spacing : age;
}

uint32_t FlushSchedule::msUntilNextDue(uint32_t now) const {
    uint32_t soonest = kNothingDue;
    for (int file = 0; file < kCapacity; ++file) {
        if (!dirty(file)) continue;
        uint32_t wait = msUntilDue(file, now);
        if (wait < soonest) soonest = wait;
    }
    return soonest;
}

}  // namespace kvt
