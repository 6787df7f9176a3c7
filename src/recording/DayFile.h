#pragma once

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

constexpr int kDayPathCapacity = 1300;

// "<folder>/%04d%02d%02d": the day folder of a date in a data folder.
void dayFolderPath(char (&path)[kDayPathCapacity], const char* folder, const CalendarDate& date);
// "<folder>/%04d%02d%02d/GR%d.CSV": a group's file in that day folder.
void dayFilePath(char (&path)[kDayPathCapacity], const char* folder, const CalendarDate& date,
                 int group);

// What an append does besides the row, for the disk flushes.
struct DayFileSync {
    bool flushFile = false;  // in: flush the file's data before it is closed
    bool started = false;    // out: the file got its header blocks (a new file)
    int flushError = 0;      // out: errno of a flush that failed, else 0
};

// Appends one row to the group's day file of the time stamp's date. A file
// without its two header blocks (new, empty, or cut short before its first
// row) gets them first, built from `config`. Makes the day folder (and the
// data folder) when it is missing. Returns true only when the whole row is in
// the file: a failed or partial write is cut back off, so the file keeps
// whole fixed-length rows and the caller can simply try again later. On
// failure errno tells why.
bool appendDayFileRow(const ConfigurationRecord& config, int group, const SystemTime& time,
                      const char* row, int rowLength, DayFileSync& sync);

// Flushes the data of the group's day file of `date` to the disk: 0, or the
// errno value of the failure (none when the file is gone).
int flushDayFile(const CalendarDate& date, int group);

}  // namespace kvt
