#include "recording/WriteFailure.h"

#include <cerrno>
#include <cstdio>

namespace kvt {

void WriteFailureSlot::noteFailure(const char* path, int error, uint32_t nowTick) {
    if (!failingForOwner()) sinceTick_.store(nowTick, std::memory_order_relaxed);
    WriteFailure failure;
    failure.error = error != 0 ? error : EIO;
    failure.sinceTick = sinceTick_.load(std::memory_order_relaxed);
    std::snprintf(failure.path, sizeof failure.path, "%s", path);
    cell_.store(failure);
    failing_.store(1, std::memory_order_release);
}

void WriteFailureSlot::noteCleared() {
    if (!failingForOwner()) return;
    failing_.store(0, std::memory_order_release);
    cell_.store(WriteFailure{});
}

void WriteFailureSlot::reset() {
    failing_.store(0, std::memory_order_release);
    cell_.store(WriteFailure{});
}

bool WriteFailureSlot::failing(uint32_t& sinceTick) const {
    if (failing_.load(std::memory_order_acquire) == 0) return false;
    sinceTick = sinceTick_.load(std::memory_order_relaxed);
    return true;
}

bool WriteFailureSlot::read(WriteFailure& failure) const {
    failure = cell_.load();
    return failure.error != 0;
}

bool WriteFailureSlot::tryRead(WriteFailure& failure) const {
    return cell_.tryLoad(failure) && failure.error != 0;
}

}  // namespace kvt
