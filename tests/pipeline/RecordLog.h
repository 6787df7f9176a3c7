#pragma once
#include <cstdint>
#include <vector>

#include "acquisition/AcquisitionRecord.h"

namespace kvt::test {

// One sample of a group as the acquisition thread handed it over.
struct LoggedSample {
    SystemTime time;
    int trigger;
    double values[kPensPerGroup];
};

// The test's own copy of every acquisition record, taken from the ring
// right after the acquisition pass that wrote it and before the recording
// scheduler sees it.
class RecordLog {
public:
    // Starts at the ring's write index: records written from now on.
    void startAtRing();
    // Copies the records written since the last call.
    void collect();

    const std::vector<AcquisitionRecord>& records() const { return records_; }
    // The samples of group 1-10 in the logged records, oldest first.
    std::vector<LoggedSample> samplesOf(int group) const;

private:
    uint32_t next_ = 0;
    std::vector<AcquisitionRecord> records_;
};

}  // namespace kvt::test
