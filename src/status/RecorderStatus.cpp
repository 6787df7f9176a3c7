#include "status/RecorderStatus.h"

#include <cstdio>

#include "acquisition/NodeHealth.h"
#include "acquisition/RunReport.h"
#include "platform/Clock.h"
#include "recording/RecordingBuffers.h"
#include "recording/RecordingStatus.h"

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
    GroupStatus status;
    status.group = group;
    status.storingMode = config.group(group).storingMode;
    status.rowsToday = rowsWrittenToday(group, today);
    status.dropped = rowsDropped(group);
    SystemTime row;
    if (lastRowTime(group, row)) {
        status.lastRow = epochSecondsOfLocal({row.year, row.month, row.day}, row.hour, row.minute,
                                             row.second);
    }
    return status;
}

// The write failure in force, as "file: reason": of the first group whose
// rows wait behind one, else of the alarm history.
bool writeFailureNow(char* text, int size) {
    WriteFailure failure;
    bool failing = false;
    for (int group = 0; group < kGroupCount && !failing; ++group) {
        failing = currentWriteFailure(group, failure);
    }
    if (!failing) failing = alarmHistoryWriteFailure(failure);
    if (!failing) return false;
    std::snprintf(text, static_cast<size_t>(size), "%s: %s", failure.path,
                  englishWriteFailureReason(failure.error));
    return true;
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
    status.droppedInAll = droppedRowCount.load(std::memory_order_relaxed);
    status.writeFailing = writeFailureNow(status.writeFailure, sizeof status.writeFailure);
    status.publisher = publisherStatus();
    return status;
}

}  // namespace kvt
