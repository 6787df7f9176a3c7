#pragma once

namespace kvt {

// Entry of the acquisition thread: runs passes until exitRequested is set.
void acquisitionThreadMain();

}  // namespace kvt
