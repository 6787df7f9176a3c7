#pragma once
#include <chrono>
#include <cstdint>
#include <vector>

#include "EventLog.h"
#include "NodeBank.h"
#include "ReplyBuilder.h"
#include "SimulatorOptions.h"

namespace kvt::nodesim {

// What to do with one request.
struct Answer {
    enum class Action { Send, Ignore, DropConnection };
    Action action = Action::Ignore;
    std::vector<uint8_t> bytes;
    int delayMs = 0;  // wait before sending
    // The exchange's time on the serial line (request and answer) and the
    // node's turnaround: the answer goes out this long after the request
    // arrived (then delayMs later still).
    std::chrono::microseconds lineTime{0};
};

// Decides the answer to one complete request frame: node selection, the
// fault switches that concern the content, the write log.
class RequestHandler {
public:
    RequestHandler(const SimulatorOptions& options, NodeBank& bank, ReplyBuilder& builder,
                   EventLog& log)
        : options_(options), bank_(bank), builder_(builder), log_(log) {}

    Answer handle(Framing framing, const uint8_t* frame, int length);

private:
    int exceptionCodeFor(int unit, int function) const;
    std::chrono::microseconds exchangeLineTime(Framing framing, int requestLength,
                                               int answerLength) const;
    void logWrite(int unit, const uint8_t* pdu, int pduLength);
    void logRequest(Framing framing, int unit, const uint8_t* frame, int length) const;

    const SimulatorOptions& options_;
    NodeBank& bank_;
    ReplyBuilder& builder_;
    EventLog& log_;
    long requests_ = 0;
    long rtuAnswers_ = 0;
};

}  // namespace kvt::nodesim
