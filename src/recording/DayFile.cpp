#include "recording/DayFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/DiskFlush.h"
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

// The size without the run of zero bytes at its end: what some file systems
// leave in place of the last bytes written before a power cut. A whole file
// ends with a line feed, so this normally reads one byte; -1 when the file
// cannot be read.
off_t sizeWithoutZeroTail(int descriptor, off_t size) {
    char bytes[512];
    off_t end = size;
    while (end > 0) {
        off_t chunk = end == size ? 1 : std::min<off_t>(end, sizeof bytes);
        ssize_t got = pread(descriptor, bytes, static_cast<size_t>(chunk), end - chunk);
        if (got != chunk) return -1;
        off_t index = chunk;
        while (index > 0 && bytes[index - 1] == '\0') --index;
        if (index > 0) return end - chunk + index;
        end -= chunk;
    }
    return 0;
}

// The file size where the next row belongs. A zero tail is cut off; a file
// shorter than its header blocks holds no row and is started again; a
// trailing piece of a row (left by a power failure, say) is cut off so
// every row stays at its place.
off_t usableSize(int descriptor, int rowLength) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0) return -1;
    off_t size = sizeWithoutZeroTail(descriptor, status.st_size);
    if (size < 0) return -1;
    if (size != status.st_size && ftruncate(descriptor, size) != 0) return -1;
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

// The names of a new day file and of its day folder on the disk.
int flushNamesOf(const CalendarDate& date) {
    int day = openDayFolder(dataFolder(), date, false);
    if (day < 0) return errno;
    int error = flushFolder(day);
    close(day);
    int data = open(dataFolder(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (data < 0) return error != 0 ? error : errno;
    int dataError = flushFolder(data);
    close(data);
    return error != 0 ? error : dataError;
}

// The flushes an append that wrote its row owes.
void flushAfterAppend(int descriptor, const SystemTime& time, DayFileSync& sync) {
    if (sync.flushFile) sync.flushError = flushFileData(descriptor);
    if (!sync.started) return;
    int error = flushNamesOf(CalendarDate{time.year, time.month, time.day});
    if (sync.flushError == 0) sync.flushError = error;
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

int flushDayFile(const CalendarDate& date, int group) {
    int descriptor = openGroupDayFile(dataFolder(), date, group, DayFileUse::Read);
    if (descriptor < 0) return errno == ENOENT ? 0 : errno;
    int error = flushFileData(descriptor);
    close(descriptor);
    return error;
}

bool appendDayFileRow(const ConfigurationRecord& config, int group, const SystemTime& time,
                      const char* row, int rowLength, DayFileSync& sync) {
    sync.started = false;
    sync.flushError = 0;
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
        sync.started = written;
    } else if (size > 0) {
        written = writeWhole(descriptor, size, row, rowLength);
    }
    int error = errno;
    if (written) flushAfterAppend(descriptor, time, sync);
    close(descriptor);
    errno = error;
    return written;
}

}  // namespace kvt
