#include "acquisition/NodeExchange.h"

#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeHealth.h"
#include "acquisition/TcpLink.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

constexpr int kReadAnswerWaitMs = 50;
constexpr int kWriteAnswerWaitMs = 30;

int realExchange(const NodeRequest& request, uint8_t* answer) {
    if (threadConfiguration().commPort == kCommPortTcp) return tcpExchange(request, answer);
    return serialExchange(request, answer);
}

void realReopen() {
    closeLink();
    openLink();
}

int registersAsked(const NodeRequest& request) {
    if (request.kind != RequestKind::BlockRead) return 1;
    return blockReadRegisterCount(request.node, request.blockKind);
}

}  // namespace

const NodeTransport kRealNodeTransport = {realExchange, realReopen};
NodeTransport nodeTransport = kRealNodeTransport;

int answerBytes(const NodeRequest& request) {
    switch (request.kind) {
    case RequestKind::BlockRead:
        return blockReadResponseLength(request.node, request.blockKind);
    case RequestKind::DiscreteRead:
    case RequestKind::OutputCountRead:
        return kSingleRegisterResponseBytes;
    case RequestKind::OutputWrite:
        return kOutputWriteResponseBytes;
    }
    return 0;
}

int serialAnswerWaitMs(const NodeRequest& request) {
    return request.kind == RequestKind::OutputWrite ? kWriteAnswerWaitMs : kReadAnswerWaitMs;
}

bool putRequest(const NodeRequest& request) {
    switch (request.kind) {
    case RequestKind::BlockRead:
        return sendBlockRead(request.node, request.blockKind, request.block);
    case RequestKind::DiscreteRead:
        return sendDiscreteRead(request.node);
    case RequestKind::OutputCountRead:
        return sendOutputCountRead(request.node);
    case RequestKind::OutputWrite:
        return sendOutputWrite(request.node, request.outputBits);
    }
    return false;
}

bool answerMatches(const NodeRequest& request, const uint8_t* answer) {
    if (answer[0] != request.node) return false;
    if (request.kind == RequestKind::OutputWrite) return answer[1] == kWriteMultipleRegisters;
    return answer[1] == kReadHoldingRegisters && answer[2] == 2 * registersAsked(request);
}

bool exchangeWithNode(const NodeRequest& request, uint8_t* answer) {
    int expected = answerBytes(request);
    if (expected < kSingleRegisterResponseBytes || expected > kAnswerBufferBytes) return false;
    int received = nodeTransport.exchange(request, answer);
    bool good = received == expected && answerMatches(request, answer);
    noteExchange(request.node, good ? 0 : exchangeFailure(request, answer, received));
    return good;
}

int exchangeFailure(const NodeRequest& request, const uint8_t* answer, int received) {
    switch (received) {
    case kResponseCrcMismatch:
        return kCrcError;
    case kResponseException:
        return kExceptionAnswer;
    case kResponseWrong:
        return kWrongAnswer;
    default:
        break;
    }
    if (received <= 0) return kNoAnswer;
    // Over Modbus/TCP a whole exception answer comes with its own length.
    bool exception = received == kExceptionResponseBytes && answer[0] == request.node &&
                     (answer[1] & 0x80) != 0;
    return exception ? kExceptionAnswer : kWrongAnswer;
}

void reopenLink() { nodeTransport.reopen(); }

int serialExchange(const NodeRequest& request, uint8_t* answer) {
    if (!putRequest(request)) return -1;
    int firstReadMs = serialAnswerWaitMs(request) + linkSerialPort().timeouts().readTotalMs;
    return readResponse(request.node, answer, answerBytes(request), firstReadMs);
}

}  // namespace kvt
