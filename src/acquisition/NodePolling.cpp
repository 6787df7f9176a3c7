#include "acquisition/NodePolling.h"

namespace kvt {

// Placeholders until node polling lands.
bool planNodes() { return false; }
void pollNextNode() {}
void resetPollingForRun() {}
void resetNodePolling() {}

}  // namespace kvt
