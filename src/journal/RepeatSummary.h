#pragma once
#include <cstdint>

#include "journal/JournalEvent.h"

namespace kvt {

// Keeps repeated failures to one line per minute: an event of a summarised
// kind (nodes and links failing and coming back, disk space, write
// failures) with the same subject (kind, node or port, reason, text) as
// one told less than a minute ago is held back and counted; when that
// minute is over, one summary line tells the last of them and how many
// there were, their counts added up. Journal thread only; fixed size.
class RepeatSummary {
public:
    static constexpr int64_t kWindowMs = 60000;
    static constexpr int kSubjects = 128;

    // Whether the event is to be written now. When not, it has been
    // counted for a summary.
    bool admit(const JournalEvent& event);

    // A summary that is due at `nowMs` (monotonic): true with the last event
    // held back (counts added up) and how many were held back. Call until
    // false.
    bool takeDueSummary(int64_t nowMs, JournalEvent& event, int& times);

    // When the next summary falls due (monotonic ms), or -1 when none waits.
    int64_t nextDueMs() const;

private:
    struct Subject {
        uint64_t key = 0;
        int64_t toldMs = 0;
        int heldBack = 0;
        JournalEvent last;
    };

    Subject* find(uint64_t key);
    Subject* freeOrOldest();

    Subject subjects_[kSubjects];
    int used_ = 0;
};

// Whether events of the kind are summarised when they repeat.
bool summarisedKind(JournalEventKind kind);

}  // namespace kvt
