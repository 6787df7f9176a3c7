#include "recording/PaneLoading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/WaitCursor.h"
#include "recording/CsvRow.h"
#include "recording/DayFile.h"
#include "recording/DayFolders.h"
#include "recording/PaneWindow.h"
#include "recording/RecordingBuffers.h"

namespace kvt {
namespace {

constexpr int64_t kCoarseStepRows = 1000;
constexpr int kScanChunkRows = 384;  // rows fetched with one read by the backward scan
// A window spans at most 96,000 s, so it touches at most three local dates.
constexpr int kMostDatesInWindow = 3;

// Calendar times of the rows of one day file: its date with the row's
// HH:MM:SS in local time. A full local-time conversion is slow (the system
// rereads its zone settings for each), so it is made once per hour of the
// day; a minute is that hour's start plus its minutes when that instant
// reads back as the same local hour and minute, and is converted on its own
// otherwise (a daylight-saving step within the hour).
class RowClock {
public:
    explicit RowClock(const CalendarDate& date) : date_(date) {}

    int64_t secondsOf(const RowTime& time) {
        int minuteOfDay = time.hour * 60 + time.minute;
        if (minuteOfDay != minuteOfDay_) {
            minuteStart_ = minuteStart(time.hour, time.minute);
            minuteOfDay_ = minuteOfDay;
        }
        return minuteStart_ + time.second;
    }

private:
    int64_t minuteStart(int hour, int minute) {
        if (!hourKnown_[hour]) {
            hourStart_[hour] = epochSecondsOfLocal(date_, hour, 0, 0);
            hourKnown_[hour] = true;
        }
        int64_t candidate = hourStart_[hour] + int64_t{minute} * 60;
        SystemTime local = localTimeOf(candidate, 0);
        if (local.hour == hour && local.minute == minute) return candidate;
        return epochSecondsOfLocal(date_, hour, minute, 0);
    }

    CalendarDate date_;
    int64_t hourStart_[24] = {};
    bool hourKnown_[24] = {};
    int minuteOfDay_ = -1;
    int64_t minuteStart_ = 0;
};

// One day file open for reading, with the rows it held when opened.
class DayFileReader {
public:
    DayFileReader(const CalendarDate& date, int group) : rowLength_(rowLengthOf(group)) {
        // Only a plain file, never through a link: a pipe in its place, say,
        // must not hang the window.
        descriptor_ = openGroupDayFile(dataFolder(), date, group, DayFileUse::Read);
        struct stat status {};
        if (descriptor_ >= 0 && fstat(descriptor_, &status) == 0 &&
            status.st_size > kDayFileHeaderSize) {
            rowCount_ = (status.st_size - kDayFileHeaderSize) / rowLength_;
        }
    }
    ~DayFileReader() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    DayFileReader(const DayFileReader&) = delete;
    DayFileReader& operator=(const DayFileReader&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }
    int64_t rowCount() const { return rowCount_; }
    int rowLength() const { return rowLength_; }

    // Reads `count` rows from `first` on into `bytes`; returns the number of
    // whole rows read (fewer when the file got shorter).
    int64_t readRows(int64_t first, int64_t count, char* bytes) const {
        ssize_t got = pread(descriptor_, bytes, static_cast<size_t>(count * rowLength_),
                            kDayFileHeaderSize + first * rowLength_);
        return got > 0 ? got / rowLength_ : 0;
    }

private:
    int descriptor_ = -1;
    int rowLength_;
    int64_t rowCount_ = 0;
};

// Puts the readable rows of day files into one pane.
//
// Rows are in the order they were written, which is time order except
// after the clock was set back (the end of daylight saving time, a user, a
// time service): then a stretch of local time is in the file twice. Of rows
// that stand for the same time the one written last counts: a row followed
// anywhere later in the file by a row at the same or an earlier time is
// passed over. The backward scan keeps the earliest time it has met and
// passes over rows at or after it; the coarse search starts the scan at or
// after the last row that can hold the reference time or an earlier one.
class PaneFiller {
public:
    PaneFiller(PlaybackPane& pane, int group, const PaneWindow& window, PaneLoadCounts& counts)
        : pane_(pane), group_(group), window_(window), counts_(counts) {}

    void readDate(const CalendarDate& date, bool newestFile) {
        DayFileReader file(date, group_);
        if (!file.isOpen()) return;
        ++counts_.filesRead;
        RowClock clock(date);
        int64_t startRow = newestFile ? coarseStartRow(file, clock) : file.rowCount() - 1;
        scanBackwards(file, clock, startRow);
    }

private:
    enum class Probe { Row, NotARow, Gone };

    // Probes rows 0, 1000, 2000, ... and the last row. The scan starts at the
    // probe that ends the last stretch between probes that may hold a row
    // at or before the reference time: one that begins before it, or one
    // whose end is less far on than its rows take at the group's spacing
    // (the clock was set back within it, or rows of a shorter storing cycle
    // lie there). Without such a stretch the scan starts at row 0. When no
    // probe reads as a row, or one cannot be read at all (the file got
    // shorter), the scan starts at the last row.
    int64_t coarseStartRow(const DayFileReader& file, RowClock& clock) {
        const int64_t lastRow = file.rowCount() - 1;
        const int64_t referenceMs = window_.reference * 1000;
        int64_t start = 0;
        int64_t previousRow = -1;
        int64_t previousMs = 0;
        for (int64_t at = 0; at <= lastRow; at = nextProbe(at, lastRow)) {
            int64_t rowMs = 0;
            Probe probed = probe(file, clock, at, rowMs);
            if (probed == Probe::Gone) return lastRow;
            if (probed == Probe::NotARow) continue;
            int64_t leastProgressMs = (at - previousRow) * int64_t{window_.spacingMs};
            if (previousRow >= 0 &&
                (previousMs < referenceMs || rowMs - previousMs < leastProgressMs)) {
                start = at;
            }
            previousRow = at;
            previousMs = rowMs;
        }
        bool lastMayHoldEarlier = previousRow < 0 || previousMs < referenceMs;
        return lastMayHoldEarlier ? lastRow : start;
    }

    static int64_t nextProbe(int64_t at, int64_t lastRow) {
        return at < lastRow ? std::min(at + kCoarseStepRows, lastRow) : lastRow + 1;
    }

    // Reads one probe row and, when it reads as a row, its time in milliseconds.
    Probe probe(const DayFileReader& file, RowClock& clock, int64_t at, int64_t& rowMs) {
        char row[kMaxRowLength];
        ++counts_.probeReads;
        if (file.readRows(at, 1, row) != 1) return Probe::Gone;
        RowTime time;
        if (!parseRowTime(row, file.rowLength(), group_, time)) return Probe::NotARow;
        rowMs = millisecondsOf(clock.secondsOf(time), time);
        return Probe::Row;
    }

    // From `startRow` down to row 0, until a row at or before the window
    // start. Rows that can no longer be read (a file cut short meanwhile)
    // are passed over.
    void scanBackwards(const DayFileReader& file, RowClock& clock, int64_t startRow) {
        char chunk[kScanChunkRows * kMaxRowLength];
        for (int64_t last = startRow; last >= 0; last -= kScanChunkRows) {
            int64_t first = std::max<int64_t>(0, last - kScanChunkRows + 1);
            int64_t rowsRead = file.readRows(first, last - first + 1, chunk);
            for (int64_t row = first + rowsRead - 1; row >= first; --row) {
                ++counts_.rowsScanned;
                const char* bytes = chunk + (row - first) * file.rowLength();
                if (!takeRow(bytes, file.rowLength(), clock)) return;
            }
        }
    }

    // Stores one row's values in its slot. False once the row lies at or
    // before the window start.
    bool takeRow(const char* bytes, int length, RowClock& clock) {
        RowTime time;
        if (!parseRowTime(bytes, static_cast<size_t>(length), group_, time)) return true;
        int64_t rowTime = clock.secondsOf(time);
        int64_t rowMs = millisecondsOf(rowTime, time);
        if (rowMs <= window_.start() * 1000) return false;
        // Written before the clock was set back to a time already met.
        if (rowMs >= earliestMetMs_) return true;
        earliestMetMs_ = rowMs;
        int slot = slotOfRow(window_, rowTime, time);
        double values[kPensPerGroup];
        if (slot < 0 || !parseRowValues(bytes, static_cast<size_t>(length), group_, values)) {
            return true;
        }
        for (int pen = 0; pen < pensOfGroup(group_); ++pen) pane_.values[pen][slot] = values[pen];
        return true;
    }

    // A row's time with its milliseconds: the oldest slots of the high-speed
    // and 0.5 s panes lie within the window start's own second.
    static int64_t millisecondsOf(int64_t rowTime, const RowTime& time) {
        return rowTime * 1000 + time.tenths * 100 + time.hundredths * 10;
    }

    PlaybackPane& pane_;
    int group_;
    PaneWindow window_;
    PaneLoadCounts& counts_;
    int64_t earliestMetMs_ = INT64_MAX;  // of the rows scanned so far
};

void clearValues(PlaybackPane& pane) {
    for (auto& pen : pane.values) std::fill(std::begin(pen), std::end(pen), kNoData);
}

}  // namespace

PaneLoadCounts fillPane(PlaybackPane& pane, int group, int storingCycle) {
    PaneLoadCounts counts;
    clearValues(pane);
    if (group < 0 || group >= kGroupCount) return counts;
    int64_t& reference = pane.referenceTime[group];
    reference = paneReferenceTime(reference, group, storingCycle, activeClock().epochSeconds());
    const PaneWindow window{reference, sampleSpacingMs(group, storingCycle)};
    fillSlotStamps(pane.stamps, window);

    // The newest file is the reference time's date; older ones down to the
    // date of the window start (a 1 min window reaches back into a third day).
    PaneFiller filler(pane, group, window, counts);
    const CalendarDate oldest = localDateOf(window.start());
    CalendarDate date = localDateOf(window.reference);
    for (int file = 0; file < kMostDatesInWindow && !isEarlier(date, oldest); ++file) {
        filler.readDate(date, file == 0);
        date = dayBefore(date);
    }
    return counts;
}

void loadPane(int pane) {
    if (pane < 1 || pane > kPaneCount || currentGroup < 0 || currentGroup >= kGroupCount) return;
    WaitCursor wait;
    if (pane == 1) playbackCursor = 0;
    int storingCycle =
        currentGroup == kHighSpeedGroup ? 0 : liveConfiguration.group(currentGroup).storingCycle;
    fillPane(playbackPanes[pane - 1], currentGroup, storingCycle);
}

}  // namespace kvt
