#pragma once
#include <cstdint>

namespace kvt {

// Most rows one writer pass writes; enough to work off a burst of
// pretrigger samples or the backlog of a storage outage within seconds.
constexpr int kRowsPerWriterPass = 100;

// Longest time the writer spends on the rows still queued at exit.
constexpr int kExitDrainMs = 2000;

// Entry of the recording writer thread: a writer pass whenever the
// scheduler signals writerWake for queued rows or the alarm history after
// an append (a second at most between passes), every
// 25 ms while rows are left that could not be written, and when a flush is
// due (WriterFlushes.h), until exitRequested is set. On exit it waits (at
// most 2 s) for the recording scheduler to end and then writes the rows still queued, stopping early
// when a pass writes nothing (every file left refuses its rows) or after
// kExitDrainMs, and flushes every file it appended to since its last
// flush. (A single write that never returns is bounded by the thread
// stop, not here.)
void recordingWriterMain();

// Appends the rows of the queued entries to the day files, up to
// kRowsPerWriterPass rows, all with the configuration published last before
// the pass. The groups take turns, each in the order of its own share of
// the queue. A row that cannot be written (no file, full disk) stays at the
// head of its group's share for the next pass, and only that group waits;
// its failure is told through RecordingStatus.h. Entries whose sample was
// overwritten before the writer got to it are skipped and counted as
// dropped, by group. Then flushes the files whose flush is due. Returns the
// number of rows written. Never sleeps (but waits for the disk).
int writerPass();

// Entries waiting for the writer, over all groups.
uint32_t pendingRowCount();

}  // namespace kvt
