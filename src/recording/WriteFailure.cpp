#include "recording/WriteFailure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kvt {
namespace {

struct ReasonText {
    int error;
    const char* english;
    const char* japanese;
};

constexpr ReasonText kReasons[] = {
    {EACCES, "permission denied", "アクセス権がありません"},
    {EPERM, "permission denied", "アクセス権がありません"},
    {EROFS, "the disk is read-only", "ディスクが読み取り専用です"},
    {ENOSPC, "the disk is full", "ディスクの空き容量がありません"},
    {EDQUOT, "the disk quota is used up", "ディスク容量の割り当てを使い切りました"},
    {EISDIR, "a folder stands where the file belongs", "ファイルの場所にフォルダがあります"},
    {ENOTDIR, "a file stands where a folder belongs", "フォルダの場所にファイルがあります"},
    {ENOENT, "the folder is missing", "フォルダがありません"},
    {EIO, "the disk reports an input/output error", "ディスクの入出力エラーです"},
    {EFBIG, "the file is too large", "ファイルが大きすぎます"},
};

}  // namespace

const char* writeFailureReason(int error, int language) {
    for (const ReasonText& reason : kReasons) {
        if (reason.error == error) return language != 0 ? reason.english : reason.japanese;
    }
    return nullptr;
}

const char* englishWriteFailureReason(int error) {
    const char* reason = writeFailureReason(error, 1);
    if (reason == nullptr) reason = strerrordesc_np(error);
    return reason != nullptr ? reason : "unknown error";
}

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
