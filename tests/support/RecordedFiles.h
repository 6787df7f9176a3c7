#pragma once
#include <string>
#include <vector>

namespace kvt::test {

// What a run of the real program left in its data folder.

// Files under `folder` and its day folders whose names end in `suffix`.
std::vector<std::string> filesEndingIn(const std::string& folder, const std::string& suffix);

// The group 1 day file of the data folder with the most rows, and its
// whole rows; "" and 0 when there is none.
struct RecordedDayFile {
    std::string path;
    int rows = 0;
};
RecordedDayFile fullestGroupOneDayFile(const std::string& dataFolder);

// Local time now in tenths of a second since midnight, as row stamps count.
int tenthsOfDayNow();

// Checks (as gtest failures) that the group 1 day file `rows` holds whole
// rows only, one every half second without a gap; returns the stamp of the
// last one in tenths of the day, or -1 when there is none.
int lastOfHalfSecondRows(const std::string& rows);

}  // namespace kvt::test
