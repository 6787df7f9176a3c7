#pragma once

namespace kvt {

// The journal around one run of the recorder: its writer thread, the lines
// for the program's start and end, every message box the window shows (by
// its English text) and what the MQTT publisher reports.
void beginRunJournal();
// Says how the program ends, writes every line still queued and stops the
// writer.
void endRunJournal(int exitCode);

}  // namespace kvt
