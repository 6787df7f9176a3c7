#include "recording/WriteFailure.h"

#include <cerrno>
#include <cstdio>

namespace kvt {

void WriteFailureSlot::noteFailure(const char* path, int error, uint32_t nowTick) {
    if (!failing_) sinceTick_ = nowTick;
    failing_ = true;
    WriteFailure failure;
    failure.error = error != 0 ? error : EIO;
    failure.sinceTick = sinceTick_;
    std::snprintf(failure.path, sizeof failure.path, "%s", path);
    cell_.store(failure);
}

void WriteFailureSlot::noteCleared() {
    if (!failing_) return;
    failing_ = false;
    cell_.store(WriteFailure{});
}

void WriteFailureSlot::reset() {
    failing_ = false;
    cell_.store(WriteFailure{});
}

bool WriteFailureSlot::read(WriteFailure& failure) const {
    failure = cell_.load();
    return failure.error != 0;
}

}  // namespace kvt
