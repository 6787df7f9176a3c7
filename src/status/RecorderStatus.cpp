#include "status/RecorderStatus.h"

#include "acquisition/NodeHealth.h"
#include "acquisition/RunReport.h"
#include "platform/Clock.h"
#include "recording/GroupRecordingCounts.h"

namespace kvt {
namespace {

NodeStatus nodeStatus(int node) {
    const NodeCounters& counters = nodeCounters(node);
    NodeStatus status;
    status.node = node;
    status.requests = counters.requests.load(std::memory_order_relaxed);
    status.answers = counters.answers.load(std::memory_order_relaxed);
    status.timeouts = counters.timeouts.load(std::memory_order_relaxed);
    status.wrongAnswers = counters.wrongAnswers.load(std::memory_order_relaxed);
    status.crcErrors = counters.crcErrors.load(std::memory_order_relaxed);
    status.exceptions = counters.exceptions.load(std::memory_order_relaxed);
    status.lastAnswer = counters.lastAnswerEpochSeconds.load(std::memory_order_relaxed);
    return status;
}

GroupStatus groupStatus(const ConfigurationRecord& config, int group, const CalendarDate& today) {
    GroupRowCounts counts = groupRowCounts(group, today);
    GroupStatus status;
    status.group = group;
    status.storingMode = config.group(group).storingMode;
    status.rowsToday = counts.rowsToday;
    status.dropped = counts.dropped;
    if (counts.anyRow) {
        const SystemTime& row = counts.lastRow;
        status.lastRow = epochSecondsOfLocal({row.year, row.month, row.day}, row.hour, row.minute,
                                             row.second);
    }
    return status;
}

}  // namespace

RecorderStatus gatherRecorderStatus(const ConfigurationRecord& config, bool windowless) {
    RecorderStatus status;
    status.windowless = windowless;
    status.mode = config.operatingMode;
    status.measuring = measuring();
    status.since = measuringChangedAt();
    if (config.operatingMode == kNormalMode) {
        for (int node = 1; node <= kNodeCount; ++node) {
            if (config.nodeEnabled[node - 1] == 1) status.nodes[status.nodeCount++] = nodeStatus(node);
        }
    }
    CalendarDate today = localDateOf(activeClock().epochSeconds());
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        status.groups[group - 1] = groupStatus(config, group, today);
    }
    status.droppedInAll = rowsDroppedInAll();
    status.writeFailing = currentWriteFailure(status.writeFailure, sizeof status.writeFailure);
    return status;
}

}  // namespace kvt
