#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/DayFileRows.h"
#include "export/IsoTime.h"
#include "export/PenLabels.h"
#include "export/RowMessage.h"

namespace kvt {

// The readable rows of one group's day files from one date to another, in
// file order, days joined across midnight, each with its instant and its
// ISO 8601 time. Missing days are passed over.
class GroupRows {
public:
    GroupRows(const std::string& folder, int group, const CalendarDate& from, const CalendarDate& to,
              const ConfigurationRecord* settings);

    // Moves to the next row; false after the last.
    bool next();

    int group() const { return group_; }
    const DayFileRows& file() const { return *file_; }
    int64_t epochMilliseconds() const { return epochMs_; }
    const char* isoTime() const { return isoTime_; }
    // The pens of the file the row is in, and its row messages.
    const std::vector<PenLabel>& labels() const { return labels_; }
    const RowMessageFormat& messages() const { return *messages_; }

    // Labels of the first day file found (the settings' when there is none).
    const std::vector<PenLabel>& firstLabels() const { return firstLabels_; }

    int filesRead() const { return filesRead_; }
    int64_t rowsSkipped() const { return skipped_ + (file_ ? file_->skippedRows() : 0); }
    // Day files that exist but were not read, with the reason.
    const std::vector<std::string>& refusedFiles() const { return refused_; }

private:
    bool openNextFile();

    std::string folder_;
    int group_;
    CalendarDate next_;
    CalendarDate to_;
    CalendarDate date_{};
    bool datesLeft_ = true;
    const ConfigurationRecord* settings_;
    const char* storingMode_;
    std::unique_ptr<DayFileRows> file_;
    std::vector<PenLabel> labels_;
    std::vector<PenLabel> firstLabels_;
    bool firstLabelsTaken_ = false;
    std::unique_ptr<RowMessageFormat> messages_;
    RowOffsets offsets_;
    int64_t epochMs_ = 0;
    char isoTime_[kIsoTimeLength + 1] = {};
    int filesRead_ = 0;
    int64_t skipped_ = 0;
    std::vector<std::string> refused_;
};

}  // namespace kvt
