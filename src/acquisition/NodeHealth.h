#pragma once
#include <atomic>
#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "journal/JournalEvent.h"

namespace kvt {

// How the exchanges with each node went since the run started, for the
// status (counters any thread may read) and the journal (a node that stops
// answering and answers again). Only the acquisition thread writes; every
// counter is a relaxed atomic, so a reader sees each one whole.
struct NodeCounters {
    std::atomic<uint32_t> requests{0};
    std::atomic<uint32_t> answers{0};
    std::atomic<uint32_t> timeouts{0};
    std::atomic<uint32_t> wrongAnswers{0};  // wrong length, or for another node or request
    std::atomic<uint32_t> crcErrors{0};
    std::atomic<uint32_t> exceptions{0};
    std::atomic<int64_t> lastAnswerEpochSeconds{0};  // 0: none yet
};

// Failed exchanges in a row after which a node counts as silent.
constexpr int kSilentAfterFailures = 3;

// The outcome of one exchange with `node` (1-31): 0 for a good answer,
// else an ExchangeFailure. A node's third failure in a row journals that
// it stopped answering; its next good answer journals that it answers
// again, with the failures in between. No allocation, no wait.
void noteExchange(int node, int failure);

// Run start: every counter and silence back to zero.
void resetNodeHealth();

// The counters of node 1-31.
const NodeCounters& nodeCounters(int node);

}  // namespace kvt
