#include "RequestHandler.h"

#include <cstdio>
#include <string>

#include "LineTime.h"

namespace kvt::nodesim {
namespace {

constexpr int kGatewayTargetFailed = 0x0B;
constexpr int kWriteSingleRegister = 6;
constexpr int kWriteMultipleRegisters = 16;
// The RTU form of a TCP frame: the 7-byte header becomes the unit id, and
// the CRC follows.
constexpr int kTcpBytesBeyondRtu = 4;

std::string hexBytes(const uint8_t* bytes, int length) {
    std::string text;
    char item[4];
    for (int index = 0; index < length; ++index) {
        std::snprintf(item, sizeof item, index == 0 ? "%02X" : " %02X", bytes[index]);
        text += item;
    }
    return text;
}

int word(const uint8_t* bytes) { return (bytes[0] << 8) | bytes[1]; }

}  // namespace

Answer RequestHandler::handle(Framing framing, const uint8_t* frame, int length) {
    int pduOffset = framing == Framing::Rtu ? 1 : 7;
    int unit = frame[pduOffset - 1];
    int pduLength = length - pduOffset - (framing == Framing::Rtu ? 2 : 0);
    if (options_.verbose) logRequest(framing, unit, frame, length);

    Answer answer;
    ++requests_;
    const FaultSwitches& faults = options_.faults;
    if (faults.dropEvery > 0 && requests_ % faults.dropEvery == 0) {
        answer.action = Answer::Action::DropConnection;
        return answer;
    }
    if (faults.silentNodes.count(unit) != 0) return answer;
    if (!bank_.serves(unit)) {
        if (framing == Framing::Rtu) return answer;  // not on this line
        answer.bytes = builder_.exception(framing, unit, frame, kGatewayTargetFailed);
    } else if (int code = exceptionCodeFor(unit, frame[pduOffset]); code != 0) {
        answer.bytes = builder_.exception(framing, unit, frame, code);
    } else {
        answer.bytes = builder_.reply(framing, unit, frame, length, bank_.refreshedMapping(unit));
        bool accepted = answer.bytes.size() > static_cast<size_t>(pduOffset) &&
                        (answer.bytes[pduOffset] & 0x80) == 0;
        if (accepted && pduLength > 0) logWrite(unit, frame + pduOffset, pduLength);
    }
    if (answer.bytes.empty()) return answer;
    answer.action = Answer::Action::Send;
    answer.delayMs = valueForNode(faults.delayMs, unit);
    // A unit that is not simulated is not on the line.
    if (bank_.serves(unit)) {
        answer.lineTime =
            exchangeLineTime(framing, length, static_cast<int>(answer.bytes.size()));
    }
    if (framing == Framing::Rtu) {
        ++rtuAnswers_;
        if (faults.corruptCrcEvery > 0 && rtuAnswers_ % faults.corruptCrcEvery == 0) {
            answer.bytes[answer.bytes.size() - 1] ^= 0xFF;
            answer.bytes[answer.bytes.size() - 2] ^= 0xFF;
        }
    }
    return answer;
}

std::chrono::microseconds RequestHandler::exchangeLineTime(Framing framing, int requestLength,
                                                         int answerLength) const {
    int baud = lineBaudFor(options_, framing == Framing::Tcp);
    if (baud == kNoLineSpeed) return std::chrono::microseconds(0);
    int characters = requestLength + answerLength;
    if (framing == Framing::Tcp) characters -= 2 * kTcpBytesBeyondRtu;
    return lineTime(baud, characters) + std::chrono::milliseconds(options_.turnaroundMs);
}

int RequestHandler::exceptionCodeFor(int unit, int function) const {
    const FaultSwitches& faults = options_.faults;
    bool write = function == kWriteSingleRegister || function == kWriteMultipleRegisters;
    int writeCode = write ? valueForNode(faults.writeExceptionCode, unit) : 0;
    return writeCode != 0 ? writeCode : valueForNode(faults.exceptionCode, unit);
}

void RequestHandler::logWrite(int unit, const uint8_t* pdu, int pduLength) {
    int function = pdu[0];
    std::string values;
    int address = 0;
    if (function == kWriteSingleRegister && pduLength >= 5) {
        address = word(pdu + 1);
        values = std::to_string(word(pdu + 3));
    } else if (function == kWriteMultipleRegisters && pduLength >= 6) {
        address = word(pdu + 1);
        int count = word(pdu + 3);
        for (int index = 0; index < count && 6 + 2 * index + 1 < pduLength; ++index) {
            if (index > 0) values += ",";
            values += std::to_string(word(pdu + 6 + 2 * index));
        }
    } else {
        return;
    }
    char head[64];
    std::snprintf(head, sizeof head, "write node=%d address=0x%04X values=", unit, address);
    log_.line(head + values);
}

void RequestHandler::logRequest(Framing framing, int unit, const uint8_t* frame,
                                int length) const {
    std::string text = framing == Framing::Rtu ? "request rtu node=" : "request tcp node=";
    text += std::to_string(unit) + " bytes=" + hexBytes(frame, length);
    log_.line(text);
}

}  // namespace kvt::nodesim
