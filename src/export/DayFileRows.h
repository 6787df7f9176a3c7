#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "recording/DayFileRow.h"
#include "platform/SystemTime.h"

namespace kvt {

// One day file of a group, read from its start to its end and never
// changed: opened read-only, without following a symbolic link, and read
// only when it is a regular file. Rows are found by their line feeds, so a
// torn or damaged row costs only itself: it is skipped and counted, and a
// row that follows garbage on its line is still read.
class DayFileRows {
public:
    enum class Opening { Opened, Missing, Refused };

    DayFileRows(const char* folder, const CalendarDate& date, int group);
    ~DayFileRows();
    DayFileRows(const DayFileRows&) = delete;
    DayFileRows& operator=(const DayFileRows&) = delete;

    Opening opening() const { return opening_; }
    int openError() const { return openError_; }  // errno when Refused
    const char* path() const { return path_; }

    // The two header blocks; empty when the file is shorter than both.
    std::string_view tagBlock() const;
    std::string_view unitBlock() const;

    // Moves to the next readable row; false at the end of the file.
    bool next();
    const char* row() const { return row_; }  // rowLengthOf(group) bytes, until next()
    const RowTime& time() const { return time_; }
    const double (&values() const)[kPensPerGroup] { return values_; }

    int64_t skippedRows() const { return skipped_; }

private:
    bool readable(const char* row);
    bool readMore();

    int group_;
    size_t rowLength_;
    int descriptor_ = -1;
    Opening opening_ = Opening::Missing;
    int openError_ = 0;
    char path_[1300];
    std::vector<char> buffer_;
    size_t start_ = 0;
    size_t end_ = 0;
    bool atEnd_ = false;
    bool hasHeader_ = false;
    char header_[512];
    const char* row_ = nullptr;
    RowTime time_;
    double values_[kPensPerGroup] = {};
    int64_t skipped_ = 0;
};

}  // namespace kvt
