#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemTime.h"
#include "support/FakeClock.h"

namespace kvt::test {

// "20260307": the day folder name of a stamp's date.
std::string dayFolderName(const SystemTime& time);
// "2026-03-07 23:59:59.500", for failure messages.
std::string stampText(const SystemTime& time);

// A day file split into its two header blocks and its fixed-length rows.
struct DayFileContents {
    bool exists = false;
    std::string tags;   // header block 1, 256 bytes
    std::string units;  // header block 2, 256 bytes
    std::vector<std::string> rows;
    size_t strayBytes = 0;  // bytes after the last whole row
};

DayFileContents readDayFile(const std::string& path, int rowLength);

// Names of the day folders in the data folder, oldest first.
std::vector<std::string> dayFolderNames(const std::string& dataFolder);

// The lines of a file of fixed-length records (line feed included).
std::vector<std::string> fixedRecords(const std::string& path, int recordLength);

}  // namespace kvt::test
