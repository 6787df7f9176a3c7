#pragma once

namespace kvt {

// Entry of the recording scheduler thread: sleeps until the acquisition
// thread signals schedulerWake (a second at most), handles every record
// there is and signals writerWake when rows wait for it, until
// exitRequested is set. On exit it
// waits (at most 2 s) for the acquisition thread to end and then handles the records still in the ring,
// so that ending the program during a measurement loses no sample.
void recordingSchedulerMain();

// True while recordingSchedulerMain runs (the writer waits for its end on exit).
bool recordingSchedulerRunning();

// Handles the next acquisition record, if there is one, with the newest
// published configuration taken over for the whole record: midnight cleanup,
// disk probe, the watch over write outages, start and stop of a measurement, the samples of the high-speed
// group and of groups 1-10 with their storing modes, the blink flag and the
// refresh command; then advances the acquisition ring's read index.
// Returns 1 when a record was handled, 0 when the ring was empty. Never sleeps.
int schedulerPass();

// Program start: zero every group recording ring, recorded-samples ring,
// the write queue and the writer's status, with no write outage; the
// storing cycle seen at the last start of groups 1-10
// is the configured one; no measurement is running.
void resetRecordingBuffers();

}  // namespace kvt
