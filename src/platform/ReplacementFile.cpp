#include "platform/ReplacementFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace kvt {

namespace {

// Numbers the replacements of this process.
std::atomic<unsigned> replacementCount{0};

}  // namespace

ReplacementFile::ReplacementFile(const char* path) {
    int length = std::snprintf(path_, sizeof path_, "%s", path);
    unsigned number = replacementCount.fetch_add(1, std::memory_order_relaxed);
    int temporaryLength = std::snprintf(temporary_, sizeof temporary_, "%s.new-%ld-%u", path,
                                        static_cast<long>(getpid()), number);
    if (length < 0 || temporaryLength < 0 || temporaryLength >= static_cast<int>(sizeof temporary_)) {
        failed_ = true;
        return;
    }
    // Exclusive: a name that exists is someone else's file, never ours to
    // truncate.
    descriptor_ = open(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    failed_ = descriptor_ < 0;
}

ReplacementFile::~ReplacementFile() {
    if (descriptor_ < 0) return;
    close(descriptor_);
    unlink(temporary_);
}

bool ReplacementFile::write(const void* bytes, size_t length) {
    const auto* next = static_cast<const char*>(bytes);
    while (!failed_ && length > 0) {
        ssize_t put = ::write(descriptor_, next, length);
        if (put <= 0) {
            failed_ = true;
            break;
        }
        next += put;
        length -= static_cast<size_t>(put);
    }
    return !failed_;
}

bool ReplacementFile::commit() { return finish(true); }

bool ReplacementFile::commitIfAbsent() { return finish(false); }

// A new name for the file: rename replaces what is there, link refuses to.
bool ReplacementFile::finish(bool replace) {
    if (failed_) return false;
    bool flushed = fsync(descriptor_) == 0;
    bool closed = close(descriptor_) == 0;
    descriptor_ = -1;
    if (flushed && closed && replace && rename(temporary_, path_) == 0) return true;
    bool linked = flushed && closed && !replace && link(temporary_, path_) == 0;
    int linkError = errno;
    unlink(temporary_);
    errno = linkError;
    failed_ = !linked;
    return linked;
}

}  // namespace kvt
