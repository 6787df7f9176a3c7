#include "recording/DayFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Paths.h"
#include "recording/CsvRow.h"
#include "recording/DayFolders.h"

namespace kvt {
namespace {

// Opened from the data folder down, never through a link, and only when it
// is a plain file of the account's own: whatever else stands at its place is
// neither written nor cut short.
int openDayFile(const SystemTime& time, int group) {
    const CalendarDate date{time.year, time.month, time.day};
    return openGroupDayFile(dataFolder(), date, group, DayFileUse::Append);
}

// Writes all bytes or restores the file to `size` and fails; errno says
// why (a short write counts as a full disk).
bool writeWhole(int descriptor, off_t size, const char* bytes, int length) {
    ssize_t written = write(descriptor, bytes, static_cast<size_t>(length));
    if (written == length) return true;
    int error = written < 0 ? errno : ENOSPC;
    if (written > 0) {
        // Best effort: a piece left behind is cut off when the file is next opened.
        [[maybe_unused]] int cut = ftruncate(descriptor, size);
    }
    errno = error;
    return false;
}

// The file size where the next row belongs. A file shorter than its header
// blocks holds no row and is started again; a trailing piece of a row (left
// by a power failure, say) is cut off so every row stays at its place.
off_t usableSize(int descriptor, int rowLength) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0) return -1;
    off_t size = status.st_size;
    off_t cut = size < kDayFileHeaderSize ? size : (size - kDayFileHeaderSize) % rowLength;
    if (cut == 0) return size;
    if (ftruncate(descriptor, size - cut) != 0) return -1;
    return size - cut;
}

// The two header blocks and the first row, written with one call.
struct FirstWrite {
    char tags[kHeaderBlockSize];
    char units[kHeaderBlockSize];
    char row[kMaxRowLength];
};
static_assert(sizeof(FirstWrite) == kDayFileHeaderSize + kMaxRowLength);

bool appendWithHeaders(int descriptor, const ConfigurationRecord& config, int group,
                       const char* row, int rowLength) {
    FirstWrite bytes;
    formatHeaderBlock(bytes.tags, config, group, HeaderLine::Tags);
    formatHeaderBlock(bytes.units, config, group, HeaderLine::Units);
    std::memcpy(bytes.row, row, static_cast<size_t>(rowLength));
    return writeWhole(descriptor, 0, reinterpret_cast<const char*>(&bytes),
                      kDayFileHeaderSize + rowLength);
}

}  // namespace

void dayFolderPath(char (&path)[kDayPathCapacity], const char* folder, const CalendarDate& date) {
    std::snprintf(path, sizeof path, "%s/%04d%02d%02d", folder, date.year, date.month, date.day);
}

void dayFilePath(char (&path)[kDayPathCapacity], const char* folder, const CalendarDate& date,
                 int group) {
    std::snprintf(path, sizeof path, "%s/%04d%02d%02d/GR%d.CSV", folder, date.year, date.month,
                  date.day, group);
}

bool appendDayFileRow(const ConfigurationRecord& config, int group, const SystemTime& time,
                      const char* row, int rowLength) {
    if (rowLength <= 0 || rowLength > kMaxRowLength) {
        errno = EINVAL;
        return false;
    }
    int descriptor = openDayFile(time, group);
    if (descriptor < 0) return false;
    off_t size = usableSize(descriptor, rowLengthOf(group));
    bool written = false;
    if (size == 0) {
        written = appendWithHeaders(descriptor, config, group, row, rowLength);
    } else if (size > 0) {
        written = writeWhole(descriptor, size, row, rowLength);
    }
    int error = errno;
    close(descriptor);
    errno = error;
    return written;
}

}  // namespace kvt
