#include "RecordLog.h"

#include <cstring>

namespace kvt::test {

void RecordLog::startAtRing() {
    next_ = acquisitionRing.writeIndex.load(std::memory_order_acquire);
    records_.clear();
}

void RecordLog::collect() {
    uint32_t end = acquisitionRing.writeIndex.load(std::memory_order_acquire);
    for (; next_ != end; next_ = (next_ + 1) % kAcquisitionRingSize) {
        records_.push_back(acquisitionRing.records[next_]);
    }
}

std::vector<LoggedSample> RecordLog::samplesOf(int group) const {
    std::vector<LoggedSample> samples;
    for (const AcquisitionRecord& record : records_) {
        const GroupBlock& block = record.groups[group - 1];
        if (block.stored != 1) continue;
        LoggedSample sample{record.time, block.trigger, {}};
        std::memcpy(sample.values, block.values, sizeof sample.values);
        samples.push_back(sample);
    }
    return samples;
}

}  // namespace kvt::test
