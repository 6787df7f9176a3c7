#pragma once

namespace kvt {

// START as its button gives it: asks the acquisition thread for a run
// while none is requested or going (a start under way is left alone). The
// acquisition thread makes the checks of a start (the node plan, the
// gateway, the probes). True when a run was asked for.
bool requestMeasurementStart();

}  // namespace kvt
