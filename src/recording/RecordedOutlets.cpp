#include "recording/RecordedOutlets.h"

#include <atomic>

namespace kvt {
namespace {

std::atomic<RowOutlet> rowOutlet{nullptr};
std::atomic<AlarmOutlet> alarmOutlet{nullptr};

}  // namespace

void setRecordedOutlets(RowOutlet rows, AlarmOutlet alarms) {
    rowOutlet.store(rows, std::memory_order_release);
    alarmOutlet.store(alarms, std::memory_order_release);
}

void passRowOn(int group, const SystemTime& time, const char* row, int length) {
    RowOutlet outlet = rowOutlet.load(std::memory_order_acquire);
    if (outlet != nullptr) outlet(group, time, row, length);
}

void passAlarmOn(int group, int pen, const SystemTime& time, int code) {
    AlarmOutlet outlet = alarmOutlet.load(std::memory_order_acquire);
    if (outlet != nullptr) outlet(group, pen, time, code);
}

}  // namespace kvt
