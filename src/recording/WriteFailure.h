#pragma once
#include <atomic>
#include <cstdint>

#include "recording/SeqlockCell.h"

namespace kvt {

constexpr int kFailurePathCapacity = 1300;

// Why the last write of a file failed: the file and the errno value.
// `error` 0 means no failure.
struct WriteFailure {
    int error = 0;
    uint32_t sinceTick = 0;  // tick count (ms) of the first failure of this streak
    char path[kFailurePathCapacity] = {};
};

// The write failure of one kind of file, told by the one thread that writes
// it and readable by any thread. A failure lasts from the first failed write
// until the next write that succeeds, or until nothing waits to be written.
// The reason of a failed write in words, in the language given (1 English,
// 0 Japanese), for the reasons a plant PC meets; null for any other error
// number. Static texts: any thread may ask, nothing is allocated.
const char* writeFailureReason(int error, int language);

// The English reason, for any error number: the system's own words where
// the table above has none.
const char* englishWriteFailureReason(int error);

class WriteFailureSlot {
public:
    // Owner thread: a write of `path` failed with `error`. Keeps the tick of
    // the first failure of a streak.
    void noteFailure(const char* path, int error, uint32_t nowTick);
    // Owner thread: a write succeeded, or nothing waits any more.
    void noteCleared();
    bool failingForOwner() const { return failing_.load(std::memory_order_relaxed) != 0; }
    // Program start (no owner thread running yet): no failure.
    void reset();
    // Any thread, never waiting: whether a failure is in force, and since when.
    bool failing(uint32_t& sinceTick) const;
    // Any thread: the failure in force; false (and error 0) when none. May
    // wait for a store under way to end.
    bool read(WriteFailure& failure) const;
    // The same in one try, for worker threads: false also when the owner
    // was storing meanwhile.
    bool tryRead(WriteFailure& failure) const;

private:
    SeqlockCell<WriteFailure> cell_;
    std::atomic<uint32_t> sinceTick_{0};
    std::atomic<int> failing_{0};
};

}  // namespace kvt
