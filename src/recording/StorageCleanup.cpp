#include "recording/StorageCleanup.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

#include "core/PublishedConfiguration.h"
#include "core/SettingsFile.h"
#include "core/SettingsPlausibility.h"
#include "core/ThreadConfiguration.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "recording/DayFile.h"
#include "recording/DayFolders.h"

namespace kvt {
namespace {

constexpr int kKeepForever = 999;
constexpr int kMaxDaysPerPass = 999;

// The date of the last midnight cleanup for the window, packed as
// yyyymmdd; 0 while the window has taken it (or there is none).
std::atomic<int32_t> advancedOldestKeptDate{0};

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

// Only the day folder itself is emptied: a link in its place is left
// alone, never followed to files elsewhere.
void deleteDay(const char* folder, const CalendarDate& date) {
    int day = openDayFolder(folder, date, false);
    if (day < 0) return;
    char name[kDayNameCapacity];
    for (int group = 0; group <= kTrendGroupCount; ++group) {
        dayFileName(name, group);
        unlinkat(day, name, 0);
    }
    close(day);
    char path[kDayPathCapacity];
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
    if (handled > 0) {
        publishLiveConfiguration();
        saveSettings();
    }
    return handled;
}

int runMidnightStorageCleanup() {
    // The scheduler's copy moves on at once, so its next cleanup starts
    // from the new date even before the window has taken it over.
    ConfigurationRecord& config = ownThreadConfiguration();
    int handled = cleanupDayFolders(config, dataFolder(), activeClock().epochSeconds());
    if (handled > 0) {
        const int32_t (&date)[3] = config.oldestKeptDate;
        advancedOldestKeptDate.store(date[0] * 10000 + date[1] * 100 + date[2],
                                     std::memory_order_release);
    }
    return handled;
}

bool takeAdvancedOldestKeptDate(int32_t (&date)[3]) {
    int32_t packed = advancedOldestKeptDate.exchange(0, std::memory_order_acq_rel);
    if (packed == 0) return false;
    date[0] = packed / 10000;
    date[1] = packed / 100 % 100;
    date[2] = packed % 100;
    return true;
}

}  // namespace kvt
