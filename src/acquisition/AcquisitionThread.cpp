#include "acquisition/AcquisitionThread.h"

#include "core/RunFlags.h"
#include "platform/Clock.h"

namespace kvt {

// Placeholder until the acquisition cycle lands: idles until exit.
void acquisitionThreadMain() {
    while (!load(exitRequested)) activeClock().sleepMs(10);
}

}  // namespace kvt
