#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "export/PenLabels.h"
#include "recording/DayFileRow.h"

namespace kvt {

// Appends `text` (UTF-8) as a JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view text);

// The milliseconds of a row from its three milliseconds digits (blanks
// read as 0); the row's layout checked already (parseRowTime).
int rowMilliseconds(const char* row, const RowTime& time);

// The trigger state a row holds: its digit, or 0 when the group does not
// record on a trigger.
int rowTrigger(const char* row);

// Row messages of one group: every readable day-file row as one JSON object
// {"time": ..., "group": 1, "storing_mode": "normal", "trigger": 0,
//  "pens": [{"pen": 1, "tag": ..., "unit": ..., "value": 12.5}, ...]}
// with one entry per labelled pen and the value the row holds (null for a
// blank field). The same text goes to the broker and into JSON Lines.
class RowMessageFormat {
public:
    // `storingMode` nullptr writes null.
    RowMessageFormat(int group, const char* storingMode, const std::vector<PenLabel>& pens);

    // Appends the message of a row read by parseRowValues into `values`.
    void append(std::string& out, const char* isoTime, const char* row,
                const double (&values)[kPensPerGroup]) const;

private:
    struct PenPart {
        int pen;
        std::string head;  // {"pen": 1, "tag": ..., "unit": ..., "value":
    };
    std::string groupPart_;  // , "group": 1, "storing_mode": ..., "trigger":
    std::vector<PenPart> pens_;
};

}  // namespace kvt
