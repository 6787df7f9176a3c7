#pragma once
#include <atomic>
#include <cstdint>

#include "publish/HandOver.h"
#include "publish/Publisher.h"
#include "recording/CsvRow.h"
#include "recording/SeqlockCell.h"
#include "platform/SystemTime.h"

namespace kvt {

// A day-file row as the writer wrote it, with its sample's time stamp.
struct HandedRow {
    int32_t group;
    int32_t length;
    SystemTime time;
    char row[kMaxRowLength];
};

// An alarm history event.
struct HandedAlarm {
    int32_t group;
    int32_t pen;
    int32_t code;
    SystemTime time;
};

// What the producers hand to the publisher thread. The row hand-over holds
// over six minutes of ten groups recording every half second, the alarm
// hand-over more events than every pen raising and clearing both slots.
struct PublisherQueues {
    HandOver<HandedRow, 8192> rows;
    HandOver<HandedAlarm, 4096> alarms;
    std::atomic<uint64_t> dropped{0};
};

// The publisher's texts for the status.
struct PublisherTexts {
    char broker[kBrokerNameBytes];
    char lastError[kPublishErrorBytes];
};

// What the publisher thread tells about itself.
struct PublisherCounters {
    std::atomic<bool> configured{false};
    std::atomic<bool> connected{false};
    std::atomic<uint64_t> spooled{0};
    std::atomic<uint64_t> dropped{0};  // spool and unreadable items
    std::atomic<int> problem{0};
    SeqlockCell<PublisherTexts> texts;  // stored by one thread at a time
};

}  // namespace kvt
