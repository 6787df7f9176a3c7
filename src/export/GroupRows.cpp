#include "export/GroupRows.h"

#include <cstring>

namespace kvt {
namespace {

const char* storingModeOf(const ConfigurationRecord* settings, int group) {
    if (settings == nullptr) return nullptr;
    int mode = group == kHighSpeedGroup ? settings->highSpeedRecording.storingMode
                                        : settings->group(group).storingMode;
    return storingModeName(mode);
}

}  // namespace

GroupRows::GroupRows(const std::string& folder, int group, const CalendarDate& from,
                     const CalendarDate& to, const ConfigurationRecord* settings)
    : folder_(folder),
      group_(group),
      next_(from),
      to_(to),
      settings_(settings),
      storingMode_(storingModeOf(settings, group)) {
    if (settings != nullptr) firstLabels_ = penLabelsOf(*settings, group);
}

bool GroupRows::openNextFile() {
    while (datesLeft_) {
        date_ = next_;
        datesLeft_ = isEarlier(date_, to_);
        next_ = dayAfter(date_);
        if (file_) skipped_ += file_->skippedRows();
        file_ = std::make_unique<DayFileRows>(folder_.c_str(), date_, group_);
        if (file_->opening() == DayFileRows::Opening::Refused) {
            refused_.push_back(std::string(file_->path()) + ": " + std::strerror(file_->openError()));
        }
        if (file_->opening() != DayFileRows::Opening::Opened) continue;
        ++filesRead_;
        labels_ = penLabelsOf(file_->tagBlock(), file_->unitBlock(), group_, settings_);
        if (!firstLabelsTaken_) firstLabels_ = labels_;
        firstLabelsTaken_ = true;
        messages_ = std::make_unique<RowMessageFormat>(group_, storingMode_, labels_);
        return true;
    }
    return false;
}

bool GroupRows::next() {
    while (!file_ || file_->opening() != DayFileRows::Opening::Opened || !file_->next()) {
        if (!openNextFile()) return false;
    }
    const RowTime& time = file_->time();
    int milliseconds = rowMilliseconds(file_->row(), time);
    int offset = offsets_.offsetOf(date_, time.hour, time.minute, time.second, milliseconds);
    formatIsoTime(isoTime_, date_, time.hour, time.minute, time.second, milliseconds, offset);
    epochMs_ = epochMillisecondsOf(date_, time.hour, time.minute, time.second, milliseconds, offset);
    return true;
}

}  // namespace kvt
