#pragma once
#include <cstdint>

namespace kvt {

// When the files the writer appends to are flushed to the disk. A file
// appended to is flushed at once when its last flush is a second or more
// ago; else it is due a second after the append that made it dirty (by
// then a later append, of a group writing every half second say, usually
// flushes it at once). So no file is flushed more than once a second, and
// none holds unflushed bytes for more than a second plus the writer's
// wake-up. Ticks are milliseconds of the clock in force; they may wrap.
constexpr uint32_t kFlushSpacingMs = 1000;

class FlushSchedule {
public:
    static constexpr int kCapacity = 12;
    static constexpr uint32_t kNothingDue = UINT32_MAX;

    // Whether a file appended to at `now` is to be flushed at once.
    bool flushAtOnce(int file, uint32_t now) const;
    // The file was appended to at `now`.
    void appended(int file, uint32_t now);
    // A flush was tried at `now`; a failed one leaves the file dirty, to be
    // tried again a second later.
    void flushed(int file, uint32_t now, bool worked);
    bool dirty(int file) const { return files_[file].dirty; }
    bool due(int file, uint32_t now) const { return dirty(file) && msUntilDue(file, now) == 0; }
    // Milliseconds from `now` until the next flush is due; 0 when one is
    // due now, kNothingDue when no file is dirty.
    uint32_t msUntilNextDue(uint32_t now) const;

private:
    struct FileTimes {
        bool dirty = false;
        bool everFlushed = false;
        uint32_t dirtySince = 0;
        uint32_t lastFlush = 0;
    };
    uint32_t msUntilDue(int file, uint32_t now) const;
    FileTimes files_[kCapacity];
};

}  // namespace kvt
