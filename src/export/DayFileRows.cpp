#include "export/DayFileRows.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "recording/CsvRow.h"
#include "recording/DayFile.h"

namespace kvt {
namespace {

constexpr size_t kReadSize = size_t{1} << 20;

int openRegularFile(const char* path, int& error) {
    int descriptor = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        error = errno;
        return -1;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

DayFileRows::DayFileRows(const char* folder, const CalendarDate& date, int group)
    : group_(group), rowLength_(static_cast<size_t>(rowLengthOf(group))) {
    static_assert(sizeof header_ == kDayFileHeaderSize);
    char path[kDayPathCapacity];
    dayFilePath(path, folder, date, group);
    std::memcpy(path_, path, sizeof path_);
    descriptor_ = openRegularFile(path_, openError_);
    if (descriptor_ < 0) {
        // A missing file is no fault; a link, a folder or a refused file is.
        opening_ = openError_ == ENOENT ? Opening::Missing : Opening::Refused;
        return;
    }
    opening_ = Opening::Opened;
    buffer_.resize(kReadSize + rowLength_);
    while (end_ < sizeof header_ && readMore()) {
    }
    hasHeader_ = end_ >= sizeof header_;
    if (hasHeader_) {
        std::memcpy(header_, buffer_.data(), sizeof header_);
        start_ = sizeof header_;
    } else {
        start_ = end_;
    }
}

DayFileRows::~DayFileRows() {
    if (descriptor_ >= 0) close(descriptor_);
}

std::string_view DayFileRows::tagBlock() const {
    return hasHeader_ ? std::string_view(header_, kHeaderBlockSize) : std::string_view();
}

std::string_view DayFileRows::unitBlock() const {
    return hasHeader_ ? std::string_view(header_ + kHeaderBlockSize, kHeaderBlockSize)
                      : std::string_view();
}

bool DayFileRows::readable(const char* row) {
    return parseRowTime(row, rowLength_, group_, time_) &&
           parseRowValues(row, rowLength_, group_, values_);
}

// Moves what is left to the front of the buffer and reads on; false at the
// end of the file. A line longer than the buffer is garbage but for its
// last bytes, which may start a row.
bool DayFileRows::readMore() {
    if (atEnd_ || descriptor_ < 0) return false;
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (end_ == buffer_.size()) {
        size_t keep = rowLength_ - 1;
        std::memmove(buffer_.data(), buffer_.data() + end_ - keep, keep);
        end_ = keep;
    }
    ssize_t got = 0;
    do {
        got = read(descriptor_, buffer_.data() + end_, buffer_.size() - end_);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        atEnd_ = true;
        return false;
    }
    end_ += static_cast<size_t>(got);
    return true;
}

bool DayFileRows::next() {
    for (;;) {
        const char* at = buffer_.data() + start_;
        size_t available = end_ - start_;
        if (available >= rowLength_ && at[rowLength_ - 1] == '\n' && readable(at)) {
            row_ = at;
            start_ += rowLength_;
            return true;
        }
        const void* lineEnd = std::memchr(at, '\n', available);
        if (lineEnd == nullptr) {
            if (readMore()) continue;
            if (available > 0) ++skipped_;  // a row torn off at the end
            start_ = end_;
            return false;
        }
        size_t lineLength = static_cast<size_t>(static_cast<const char*>(lineEnd) - at) + 1;
        start_ += lineLength;
        ++skipped_;
        const char* tail = at + lineLength - rowLength_;
        if (lineLength > rowLength_ && readable(tail)) {
            row_ = tail;
            return true;
        }
    }
}

}  // namespace kvt
