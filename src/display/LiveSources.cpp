#include "display/LiveSources.h"

namespace kvt {

// The group recording rings do not exist yet; no group is ever recording.
int groupRecordingFlag(int group) {
    (void)group;
    return 0;
}

}  // namespace kvt
