#pragma once
#include <cstdint>

#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"
#include "publish/Publisher.h"

namespace kvt {

// How the recorder is doing, gathered at one moment for `kvt936p --status`
// and the window's communication status: the mode, the measurement, the
// exchanges with every polled node, each group's rows, the write failure
// in force and the MQTT publisher.

struct NodeStatus {
    int node = 0;
    uint32_t requests = 0;
    uint32_t answers = 0;
    uint32_t timeouts = 0;
    uint32_t wrongAnswers = 0;  // wrong length, or for another node or request
    uint32_t crcErrors = 0;
    uint32_t exceptions = 0;
    int64_t lastAnswer = 0;  // calendar seconds; 0 for none
    uint32_t badAnswers() const { return wrongAnswers + crcErrors + exceptions; }
};

struct GroupStatus {
    int group = 0;
    int storingMode = 0;  // a StoringMode
    uint32_t rowsToday = 0;
    int64_t lastRow = 0;  // calendar seconds of the last row's stamp; 0 for none
    uint32_t dropped = 0;
};

struct RecorderStatus {
    bool windowless = false;  // the recorder holding the data runs without a window
    int mode = 0;             // an OperatingMode
    bool measuring = false;
    int64_t since = 0;        // calendar seconds: when measuring started or stopped
    int nodeCount = 0;        // enabled nodes that are polled (normal mode only)
    NodeStatus nodes[kNodeCount];
    GroupStatus groups[kTrendGroupCount];  // groups 1-10
    uint32_t droppedInAll = 0;
    bool writeFailing = false;
    char writeFailure[256] = {};
    PublisherStatus publisher;  // publisher.configured false: publishing is off
};

// The status now, with the mode and node and group settings of `config`.
RecorderStatus gatherRecorderStatus(const ConfigurationRecord& config, bool windowless);

}  // namespace kvt
