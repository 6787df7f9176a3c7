#pragma once
#include "journal/JournalEvent.h"

namespace kvt {

// Longest journal line, line feed included.
constexpr int kJournalLineBytes = 768;

// The syslog priority the journal reads from a line's "<N>" prefix (a
// message box's line may carry its own, see JournalEvent).
int journalPriority(JournalEventKind kind);

// The event's line: "<N>" and the text in English, ending in a line feed,
// cut to `size` - 1 bytes (still ending in a line feed). `times` above 0
// makes it the summary of that many such events held back in the last
// minute. Returns the length.
int formatJournalLine(const JournalEvent& event, int times, char* line, int size);

// The text of the reason a COM port did not open, with what the user can
// do about it (an errno value; `throughLink` when the port is the user's
// ~/.config/kvt936p/comN link).
const char* serialOpenReason(int error, int commPort, bool throughLink, char* buffer, int size);

}  // namespace kvt
