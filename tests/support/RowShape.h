#pragma once

namespace kvt::test {

// Whether `row` (`length` bytes) has the fixed shape of a day-file row of
// `group`: exactly the group's row length, a comma after the time, after
// the milliseconds and before every 12-character value field and nowhere
// else, printable ASCII throughout and a line feed as the last byte. A row
// of any other shape shifts every later row of the file for its readers.
bool hasDayFileRowShape(const char* row, int length, int group);

}  // namespace kvt::test
