#pragma once
#include "journal/JournalEvent.h"

namespace kvt {

// The recorder's journal: one line per event on standard error, each with
// the syslog priority prefix ("<3>" error, "<4>" warning, "<5>" notice,
// "<6>" info) that the system journal reads. Any thread posts events; a
// thread of the journal's own formats and writes them, summing up repeated
// failures (RepeatSummary.h). The writer sleeps until an event comes (or a
// summary falls due), so an idle journal costs no wake-up.

// Any thread, the acquisition threads included: hands the event over
// without blocking or allocating (it is stamped with the time now). When
// the writer has fallen a whole ring behind, the event is counted and the
// count told later.
void postJournalEvent(const JournalEvent& event);

// Starts the writer thread on `descriptor` (standard error by default).
void startJournal(int descriptor = 2);

// Writes every event posted before the call, with the summaries still
// held back, and ends the writer thread (later lines go to standard
// error). Safe without a thread.
void stopJournal();

// Returns once every event posted before the call is written: by the
// writer thread when it runs (waiting at most a second for it), else on
// the calling thread.
void flushJournal();

// Forgets every event waiting and every summary held back (tests).
void discardJournal();

}  // namespace kvt
