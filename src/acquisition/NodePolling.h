#pragma once

namespace kvt {

// Program start: empty polling plan, every output register count unknown.
void resetNodePolling();

}  // namespace kvt
