#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemTime.h"

namespace kvt {

enum class ExportFormat { Csv, JsonLines };

struct ExportRequest {
    std::string dataFolder;
    std::vector<int> groups;  // 0-10, each once, in the order wanted
    CalendarDate from;
    CalendarDate to;
    ExportFormat format = ExportFormat::Csv;
};

struct GroupExportCount {
    int group = 0;
    int filesRead = 0;
    int64_t rowsWritten = 0;
    int64_t rowsSkipped = 0;  // torn or damaged
};

struct ExportOutcome {
    bool written = true;  // false when the output refused bytes
    bool settingsRead = false;
    std::vector<GroupExportCount> groups;
    std::vector<std::string> refusedFiles;  // "path: reason"
};

// Writes the rows of the groups' day files from `from` to `to` (both
// included) to `output`, ordered by time, groups interleaved:
// - CSV (RFC 4180, UTF-8, CRLF line ends): a header row "time" and then
//   "tag [unit]" of every enabled pen, with several groups "G<n> tag [unit]"
//   and the groups' pens side by side, one line per time stamp (a group
//   without a row at that time leaves its cells empty); a blank field is an
//   empty cell. The names come from the first day file of each group.
// - JSON Lines: one row message per row (see RowMessageFormat).
// Which pens are enabled, and each group's storing mode, come from the
// settings file of the data folder when it reads as a sound settings
// record; without it every pen is a column and the storing mode is null.
ExportOutcome exportDayFiles(const ExportRequest& request, int output);

}  // namespace kvt
