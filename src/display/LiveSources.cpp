#include "display/LiveSources.h"

#include "recording/RecordingBuffers.h"

namespace kvt {

int groupRecordingFlag(int group) {
    if (group < 0 || group >= kGroupCount) return 0;
    return groupRecordingRings[group].recording.load(std::memory_order_acquire);
}

}  // namespace kvt
