#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"

namespace kvt {

// Deletes the day files GR0.CSV-GR10.CSV and the day folders of the days
// from `storagePeriodDays` calendar days before today back to
// `oldestKeptDate` (at most 999 days; only the first of them when the stored
// date is no date or lies after today), then moves `oldestKeptDate` to the
// earliest day handled and saves the settings. Does nothing when the period is 999 days (keep for ever), and
// nothing either for a period outside 1-999 days (a damaged settings file).
// Returns the number of days handled.
int runStorageCleanup();

// The same on any record and data folder with a given current time; does
// not save. Used by runStorageCleanup and by tests.
int cleanupDayFolders(ConfigurationRecord& record, const char* folder, int64_t nowSeconds);

}  // namespace kvt
