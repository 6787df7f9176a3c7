#pragma once

namespace kvt {

// The recording flag of a group's recording ring (1 while the group is
// inside a recording span), for the "Data" lamp; 0 for groups outside 0-10.
int groupRecordingFlag(int group);

}  // namespace kvt
