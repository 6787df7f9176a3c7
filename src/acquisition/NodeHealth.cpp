#include "acquisition/NodeHealth.h"

#include "journal/JournalPosts.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

NodeCounters counters[kNodeCount];
NodeCounters outOfRange;

// Acquisition thread only.
int failuresInARow[kNodeCount];
bool silent[kNodeCount];

void add(std::atomic<uint32_t>& counter) { counter.fetch_add(1, std::memory_order_relaxed); }

void countFailure(NodeCounters& node, int failure) {
    switch (failure) {
    case kWrongAnswer:
        add(node.wrongAnswers);
        break;
    case kCrcError:
        add(node.crcErrors);
        break;
    case kExceptionAnswer:
        add(node.exceptions);
        break;
    default:
        add(node.timeouts);
        break;
    }
}

}  // namespace

void noteExchange(int node, int failure) {
    if (node < 1 || node > kNodeCount) return;
    int index = node - 1;
    NodeCounters& counted = counters[index];
    add(counted.requests);
    if (failure == 0) {
        add(counted.answers);
        counted.lastAnswerEpochSeconds.store(activeClock().epochSeconds(),
                                             std::memory_order_relaxed);
        if (silent[index]) journalNodeAnswersAgain(node, failuresInARow[index]);
        silent[index] = false;
        failuresInARow[index] = 0;
        return;
    }
    countFailure(counted, failure);
    if (++failuresInARow[index] == kSilentAfterFailures && !silent[index]) {
        silent[index] = true;
        journalNodeSilent(node, static_cast<ExchangeFailure>(failure));
    }
}

void resetNodeHealth() {
    for (int index = 0; index < kNodeCount; ++index) {
        NodeCounters& node = counters[index];
        for (std::atomic<uint32_t>* counter : {&node.requests, &node.answers, &node.timeouts,
                                               &node.wrongAnswers, &node.crcErrors,
                                               &node.exceptions}) {
            counter->store(0, std::memory_order_relaxed);
        }
        node.lastAnswerEpochSeconds.store(0, std::memory_order_relaxed);
        failuresInARow[index] = 0;
        silent[index] = false;
    }
}

const NodeCounters& nodeCounters(int node) {
    return node >= 1 && node <= kNodeCount ? counters[node - 1] : outOfRange;
}

}  // namespace kvt
