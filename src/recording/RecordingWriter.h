#pragma once

namespace kvt {

// Entry of the recording writer thread: runs until exitRequested is set.
void recordingWriterMain();

}  // namespace kvt
