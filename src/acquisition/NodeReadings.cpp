#include "acquisition/NodeReadings.h"

#include "acquisition/CurrentValues.h"
#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/PollingPlan.h"
#include "acquisition/RegisterDecoding.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"

namespace kvt {
namespace {

bool exitOrStop() { return load(exitRequested) != 0 || load(acquisitionRequested) == 0; }

void storePenFromBlock(int group, int pen, const PenSettings& settings, int block,
                       const uint8_t* answer, int registerCount) {
    int kind = dataKindOf(settings.analogType);
    double value = 0.0;
    if (decodeAnalogValue(answer, registerCount, block, settings.channel, kind, value)) {
        setCurrentValue(group, pen, value);
    }
    if (kind != kKindPowerFactor) return;
    int statusChannel = powerFactorStatusChannel(settings.channel);
    uint8_t status = 0;
    if (statusChannel != 0 &&
        decodeStatusByte(answer, registerCount, block, statusChannel, status)) {
        penStatus[penIndex(group, pen)].store(status, std::memory_order_relaxed);
    }
}

}  // namespace

void storeBlockValues(const ConfigurationRecord& config, int node, int block,
                      const uint8_t* answer, int registerCount) {
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = config.pen(group, pen);
            if (settings.node != node || !channelInBlock(settings.channel, block)) continue;
            if (!isPolledAnalogPen(config, settings)) continue;
            storePenFromBlock(group, pen, settings, block, answer, registerCount);
        }
    }
}

void readAnalogBlocks(const ConfigurationRecord& config, int node) {
    NodeRequest request{.kind = RequestKind::BlockRead, .node = node, .blockKind = kAnalogBlock};
    int registerCount = blockReadRegisterCount(node, kAnalogBlock);
    uint64_t blocks = polledBlocks(config, node);
    uint8_t answer[kAnswerBufferBytes];
    for (int block = 0; block < kMod15BlockCount; ++block) {
        if (exitOrStop()) return;
        if (((blocks >> block) & 1) == 0) continue;
        request.block = block;
        if (!exchangeWithNode(request, answer)) {
            reopenLink();
            continue;
        }
        storeBlockValues(config, node, block, answer, registerCount);
    }
}

void readDiscreteInput(const ConfigurationRecord& config, int node) {
    if (exitOrStop()) return;
    NodeRequest request{.kind = RequestKind::DiscreteRead, .node = node};
    uint8_t answer[kAnswerBufferBytes];
    if (!exchangeWithNode(request, answer)) {
        reopenLink();
        return;
    }
    double value = answer[4] != 0 ? 1.0 : 0.0;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = config.pen(group, pen);
            if (settings.node == node && isPolledDiscretePen(config, settings)) {
                setCurrentValue(group, pen, value);
            }
        }
    }
}

}  // namespace kvt
