#include "journal/RepeatSummary.h"

namespace kvt {
namespace {

uint64_t mix(uint64_t hash, uint64_t value) { return (hash ^ value) * 1099511628211ull; }

// Events alike for summing up: the kind, the node or port, the reason and
// the subject's text.
uint64_t keyOf(const JournalEvent& event) {
    uint64_t hash = 14695981039346656037ull;
    hash = mix(hash, static_cast<uint64_t>(event.kind));
    hash = mix(hash, static_cast<uint32_t>(event.number));
    hash = mix(hash, static_cast<uint32_t>(event.reason));
    for (const char* letter = event.subject; *letter != '\0'; ++letter) {
        hash = mix(hash, static_cast<unsigned char>(*letter));
    }
    return hash | 1;  // 0 marks a free subject
}

}  // namespace

bool summarisedKind(JournalEventKind kind) {
    switch (kind) {
    case JournalEventKind::SerialOpenFailed:
    case JournalEventKind::SerialReopened:
    case JournalEventKind::GatewayLost:
    case JournalEventKind::GatewayReconnected:
    case JournalEventKind::NodeSilent:
    case JournalEventKind::NodeAnswersAgain:
    case JournalEventKind::DiskLow:
    case JournalEventKind::DiskSpaceBack:
    case JournalEventKind::WriteFailed:
    case JournalEventKind::WriteRecovered:
    case JournalEventKind::PublisherDropped:
        return true;
    default:
        return false;
    }
}

RepeatSummary::Subject* RepeatSummary::find(uint64_t key) {
    for (int index = 0; index < used_; ++index) {
        if (subjects_[index].key == key) return &subjects_[index];
    }
    return nullptr;
}

// A free place, else the one told longest ago with nothing held back (its
// minute is over or nearly so); with every place holding events back, the
// oldest, whose events then go untold as a summary.
RepeatSummary::Subject* RepeatSummary::freeOrOldest() {
    if (used_ < kSubjects) return &subjects_[used_++];
    Subject* oldest = &subjects_[0];
    for (Subject& subject : subjects_) {
        bool quieter = (subject.heldBack == 0) > (oldest->heldBack == 0);
        bool sameQuiet = (subject.heldBack == 0) == (oldest->heldBack == 0);
        if (quieter || (sameQuiet && subject.toldMs < oldest->toldMs)) oldest = &subject;
    }
    return oldest;
}

bool RepeatSummary::admit(const JournalEvent& event) {
    if (!summarisedKind(event.kind)) return true;
    uint64_t key = keyOf(event);
    Subject* subject = find(key);
    if (subject != nullptr && event.monotonicMs - subject->toldMs < kWindowMs) {
        int64_t added = subject->heldBack == 0 ? 0 : subject->last.count;
        int64_t added2 = subject->heldBack == 0 ? 0 : subject->last.count2;
        subject->last = event;
        subject->last.count += added;
        subject->last.count2 += added2;
        ++subject->heldBack;
        return false;
    }
    if (subject == nullptr) {
        subject = freeOrOldest();
        subject->heldBack = 0;
    }
    subject->key = key;
    subject->toldMs = event.monotonicMs;
    return true;
}

bool RepeatSummary::takeDueSummary(int64_t nowMs, JournalEvent& event, int& times) {
    for (int index = 0; index < used_; ++index) {
        Subject& subject = subjects_[index];
        if (subject.heldBack == 0 || nowMs - subject.toldMs < kWindowMs) continue;
        event = subject.last;
        times = subject.heldBack;
        subject.toldMs = nowMs;
        subject.heldBack = 0;
        return true;
    }
    return false;
}

int64_t RepeatSummary::nextDueMs() const {
    int64_t next = -1;
    for (int index = 0; index < used_; ++index) {
        const Subject& subject = subjects_[index];
        if (subject.heldBack == 0) continue;
        int64_t due = subject.toldMs + kWindowMs;
        if (next < 0 || due < next) next = due;
    }
    return next;
}

}  // namespace kvt
