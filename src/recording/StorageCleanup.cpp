#include "recording/StorageCleanup.h"

#include <unistd.h>

#include "acquisition/StepTime.h"
#include "core/SettingsFile.h"
#include "core/SettingsPlausibility.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "recording/DayFile.h"

namespace kvt {
namespace {

constexpr int kKeepForever = 999;
constexpr int kMaxDaysPerPass = 999;

bool isEarlier(const CalendarDate& date, const CalendarDate& other) {
    if (date.year != other.year) return date.year < other.year;
    if (date.month != other.month) return date.month < other.month;
    return date.day < other.day;
}

// The calendar day before `date`. Days are counted by date, not by 86,400
// seconds, so a 23- or 25-hour day at a daylight-saving change is neither
// skipped nor visited twice.
CalendarDate dayBefore(CalendarDate date) {
    if (--date.day >= 1) return date;
    if (--date.month < 1) {
        date.month = 12;
        --date.year;
    }
    date.day = daysInMonth(date.year, date.month);
    return date;
}

// The oldest day the walk goes back to. A stored date that is no date, or
// lies after today, comes only from a damaged settings file (or a clock that
// was far ahead once); it must neither stop the cleanup for good nor send it
// back a thousand days, so the walk then handles the first day only.
CalendarDate oldestDayToWalk(const int32_t (&stored)[3], const CalendarDate& first,
                             const CalendarDate& today) {
    CalendarDate oldest{stored[0], stored[1], stored[2]};
    if (!isPlausibleDate(stored) || isEarlier(today, oldest)) return first;
    return oldest;
}

void deleteDay(const char* folder, const CalendarDate& date) {
    char path[kDayPathCapacity];
    for (int group = 0; group <= kTrendGroupCount; ++group) {
        dayFilePath(path, folder, date, group);
        unlink(path);
    }
    dayFolderPath(path, folder, date);
    rmdir(path);  // stays when it holds anything else
}

}  // namespace

int cleanupDayFolders(ConfigurationRecord& record, const char* folder, int64_t nowSeconds) {
    // 999 days means keep for ever. A period outside 1-999 comes only from a
    // damaged settings file, and one of 0 or less would delete today's rows.
    if (record.storagePeriodDays < 1 || record.storagePeriodDays >= kKeepForever) return 0;
    const CalendarDate today = localDateOf(nowSeconds);
    CalendarDate day = today;
    for (int back = 0; back < record.storagePeriodDays; ++back) day = dayBefore(day);
    const CalendarDate oldest = oldestDayToWalk(record.oldestKeptDate, day, today);
    int handled = 0;
    CalendarDate lastDeleted{};
    while (handled < kMaxDaysPerPass && !isEarlier(day, oldest)) {
        deleteDay(folder, day);
        lastDeleted = day;
        ++handled;
        day = dayBefore(day);
    }
    if (handled > 0) {
        record.oldestKeptDate[0] = lastDeleted.year;
        record.oldestKeptDate[1] = lastDeleted.month;
        record.oldestKeptDate[2] = lastDeleted.day;
    }
    return handled;
}

int runStorageCleanup() {
    int handled = cleanupDayFolders(liveConfiguration, dataFolder(), activeClock().epochSeconds());
    if (handled > 0) saveSettings();
    return handled;
}

}  // namespace kvt
