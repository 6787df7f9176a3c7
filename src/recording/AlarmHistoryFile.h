#pragma once
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"

namespace kvt {

// What the alarm history viewer lists: events of the groups ticked, dated
// on or before `lastDate` ("YYYY/MM/DD", compared byte by byte).
struct AlarmHistoryFilter {
    bool groupShown[kTrendGroupCount + 1] = {};  // by group number 1-10
    char lastDate[11] = {};
};

// Reads the history file at `path` from its end and returns at most
// `most` records that pass the filter, newest first, each as the viewer
// shows it: the 50 characters with spaces for the commas, in UTF-8. The
// file is never trusted: records are found by their line feeds, so a torn
// record costs only itself; a line is a record when its last 50 bytes have
// the record's form (date, time, group 1-10, pen 1-12, an event text of
// printable or Shift-JIS characters); a record still being appended at
// the end is not counted, and a file that cannot be read gives what was
// read so far.
std::vector<std::string> readAlarmHistory(const char* path, const AlarmHistoryFilter& filter,
                                          size_t most);

// Empties the history: an empty file is written beside it and renamed over
// it, so the history is either whole or empty whatever happens meanwhile.
// Returns 0, or -1 when the history could not be replaced (it is kept).
int clearAlarmHistory(const char* path);

}  // namespace kvt
