#include "recording/AlarmHistory.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "core/WorkerWakeups.h"
#include "journal/JournalPosts.h"
#include "platform/Clock.h"
#include "platform/DiskFlush.h"
#include "platform/Paths.h"
#include "platform/PlainFiles.h"
#include "recording/RecordedOutlets.h"
#include "recording/WriteStatusUpdates.h"

namespace kvt {

std::atomic<int> droppedAlarmRecords{0};
std::atomic<uint32_t> alarmHistoryAppends{0};

namespace {

// Event texts by [discrete][code] and language.
const char* const kEnglishTexts[2][4] = {
    {"Lower alarm", "Lower alarm clear", "Upper alarm", "Upper alarm clear"},
    {"Off alarm", "Off alarm clear", "On alarm", "On alarm clear"},
};
// Shift-JIS: 下限ｱﾗｰﾑ, 下限ｱﾗｰﾑ解除, 上限ｱﾗｰﾑ, 上限ｱﾗｰﾑ解除 /
// ｵﾌｱﾗｰﾑ, ｵﾌｱﾗｰﾑ解除, ｵﾝｱﾗｰﾑ, ｵﾝｱﾗｰﾑ解除
const char* const kJapaneseTexts[2][4] = {
    {"\x89\xBA\x8C\xC0\xB1\xD7\xB0\xD1", "\x89\xBA\x8C\xC0\xB1\xD7\xB0\xD1\x89\xF0\x8F\x9C",
     "\x8F\xE3\x8C\xC0\xB1\xD7\xB0\xD1", "\x8F\xE3\x8C\xC0\xB1\xD7\xB0\xD1\x89\xF0\x8F\x9C"},
    {"\xB5\xCC\xB1\xD7\xB0\xD1", "\xB5\xCC\xB1\xD7\xB0\xD1\x89\xF0\x8F\x9C",
     "\xB5\xDD\xB1\xD7\xB0\xD1", "\xB5\xDD\xB1\xD7\xB0\xD1\x89\xF0\x8F\x9C"},
};

constexpr int kBacklogCapacity = 1024;
char backlog[kBacklogCapacity][kAlarmRecordLength];
int backlogFirst = 0;
int backlogCount = 0;

// Whether the end of the file was looked at since the start or the last
// failed write (acquisition thread).
bool tailChecked = false;

void noteWriteFailure(int error) {
    tailChecked = false;
    alarmHistoryFailureSlot().noteFailure(alarmHistoryPath(), error, activeClock().tickCount());
}

// Where the last whole record of a file of `size` bytes ends: after the
// last line feed. A torn record or a run of zero bytes (what a power cut
// can leave) follows it; -1 when the file cannot be read.
off_t endOfLastRecord(int descriptor, off_t size) {
    off_t end = size;
    char bytes[256];
    for (off_t chunk = 1; end > 0; chunk = sizeof bytes) {
        chunk = end < chunk ? end : chunk;
        if (pread(descriptor, bytes, static_cast<size_t>(chunk), end - chunk) != chunk) return -1;
        const void* found = memrchr(bytes, '\n', static_cast<size_t>(chunk));
        if (found != nullptr) return end - chunk + (static_cast<const char*>(found) - bytes) + 1;
        end -= chunk;
    }
    return end;
}

// Cuts whatever follows the last whole record, so every record appended
// lands whole at a line's start; false (errno set) when it cannot.
bool cutTornTail(int descriptor) {
    off_t size = lseek(descriptor, 0, SEEK_END);
    off_t end = size < 0 ? -1 : endOfLastRecord(descriptor, size);
    if (end < 0) return false;
    return end == size || ftruncate(descriptor, end) == 0;
}

// Appends whole records; false when the file cannot be opened or written.
// Only a plain file of the account's own, never through a link, is
// appended to: a pipe in its place (which would hold this thread in open()
// for good) or any other file is refused and the record kept.
bool writeRecords(const char* records, int count) {
    int descriptor =
        openOwnPlainFileAt(AT_FDCWD, alarmHistoryPath(), O_RDWR | O_CREAT | O_APPEND, 0666);
    if (descriptor < 0) {
        noteWriteFailure(errno);
        return false;
    }
    if (!tailChecked && !cutTornTail(descriptor)) {
        noteWriteFailure(errno);
        close(descriptor);
        return false;
    }
    tailChecked = true;
    size_t total = static_cast<size_t>(count) * kAlarmRecordLength;
    ssize_t written = write(descriptor, records, total);
    bool whole = written >= 0 && static_cast<size_t>(written) == total;
    if (!whole) noteWriteFailure(written < 0 ? errno : ENOSPC);  // short: the disk is full
    if (written > 0 && !whole) {
        // A partial record would shift every later record; cut it off again.
        off_t end = lseek(descriptor, 0, SEEK_END);
        if (end >= written) {
            [[maybe_unused]] int cut = ftruncate(descriptor, end - written);
        }
    }
    close(descriptor);
    if (!whole) return false;
    alarmHistoryFailureSlot().noteCleared();
    alarmHistoryAppends.fetch_add(1, std::memory_order_release);  // the writer flushes it
    writerWake.signal();
    return true;
}

bool flushBacklog() {
    while (backlogCount > 0) {
        if (!writeRecords(backlog[backlogFirst], 1)) return false;
        backlogFirst = (backlogFirst + 1) % kBacklogCapacity;
        --backlogCount;
    }
    return true;
}

void keepInBacklog(const char (&record)[kAlarmRecordLength]) {
    if (backlogCount == kBacklogCapacity) {
        droppedAlarmRecords.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    int slot = (backlogFirst + backlogCount) % kBacklogCapacity;
    std::memcpy(backlog[slot], record, kAlarmRecordLength);
    ++backlogCount;
}

}  // namespace

void formatAlarmRecord(char (&record)[kAlarmRecordLength], int group, int pen,
                       const SystemTime& time, int code, bool isDiscrete, int language) {
    const char* text = "";
    if (code >= 0 && code <= 3) {
        text = language == 1 ? kEnglishTexts[isDiscrete ? 1 : 0][code]
                             : kJapaneseTexts[isDiscrete ? 1 : 0][code];
    }
    char line[128];
    int length = std::snprintf(line, sizeof line, "%04d/%02d/%02d,%02d:%02d:%02d,%02d,%02d,%s",
                               time.year, time.month, time.day, time.hour, time.minute,
                               time.second, group, pen + 1, text);
    if (length < 0) length = 0;
    for (int index = 0; index < 50; ++index) {
        char byte = index < length ? line[index] : ' ';
        record[index] = byte == '\0' ? ' ' : byte;
    }
    record[50] = '\n';
}

void appendAlarmHistory(int group, int pen, const SystemTime& time, int code) {
    if (group < 1 || group > kTrendGroupCount || pen < 0 || pen >= kPensPerGroup) return;
    passAlarmOn(group, pen, time, code);
    char record[kAlarmRecordLength];
    bool isDiscrete = threadConfiguration().pen(group, pen).isDiscrete != 0;
    formatAlarmRecord(record, group, pen, time, code, isDiscrete, languageFlag);
    if (flushBacklog() && writeRecords(record, 1)) return;
    keepInBacklog(record);
}

void retryPendingAlarmHistory() {
    if (backlogCount > 0) flushBacklog();
}

int pendingAlarmHistoryCount() { return backlogCount; }

uint32_t alarmHistoryAppendCount() { return alarmHistoryAppends.load(std::memory_order_acquire); }

int flushAlarmHistory() {
    int descriptor = openOwnPlainFileAt(AT_FDCWD, alarmHistoryPath(), O_RDONLY);
    if (descriptor < 0) return errno == ENOENT ? 0 : errno;
    int error = flushFileData(descriptor);
    close(descriptor);
    return error;
}

void dropAlarmHistoryLeftAtExit() {
    if (backlogCount == 0) return;
    droppedAlarmRecords.fetch_add(backlogCount, std::memory_order_relaxed);
    WriteFailure failure;
    bool failing = alarmHistoryFailureSlot().read(failure);
    journalDroppedAtEnd(-1, static_cast<uint64_t>(backlogCount), failing ? failure.path : nullptr,
                        failing ? englishWriteFailureReason(failure.error) : nullptr);
    backlogFirst = 0;
    backlogCount = 0;
}

void discardPendingAlarmHistory() {
    tailChecked = false;
    backlogFirst = 0;
    backlogCount = 0;
    alarmHistoryFailureSlot().reset();
}

}  // namespace kvt
