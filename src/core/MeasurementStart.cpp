#include "core/MeasurementStart.h"

#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"

namespace kvt {

bool requestMeasurementStart() {
    if (load(acquisitionRequested) != 0 || load(acquisitionActive) != 0) return false;
    store(acquisitionRequested, 1);
    acquisitionWake.signal();
    return true;
}

}  // namespace kvt
