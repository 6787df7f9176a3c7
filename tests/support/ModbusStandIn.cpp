#include "support/ModbusStandIn.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "acquisition/ModbusFrames.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/RequestMailbox.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/WakeEvent.h"
#include "support/FakeClock.h"
#include "support/PtyPair.h"

namespace kvt::test {

namespace {

using Bytes = std::vector<uint8_t>;

// What the node has seen and done in the current step.
struct NodeState {
    FuzzInput* input = nullptr;
    bool overTcp = false;
    std::vector<Served> served;
    int reopens = 0;
    bool malformedRequest = false;
};

NodeState* state = nullptr;

PtyPair& line() {
    static PtyPair pair;
    return pair;
}

constexpr int kRequestWaitMs = 2000;  // a request written must reach the far end by then

// Parses a request body (address or unit id first, no CRC); false when it
// is not a read of at least one register or an alarm output write of 1 to
// 121 registers holding 0 or 1 each, four output channels at most.
bool parseRequestBody(const uint8_t* body, int length, WireRequest& request) {
    request = WireRequest{};
    if (length < 6) return false;
    request.node = body[0];
    request.function = body[1];
    request.start = wordAt(body + 2);
    request.count = wordAt(body + 4);
    if (request.node < 1 || request.node > kNodeCount || request.count < 1) return false;
    if (request.function == kReadHoldingRegisters) return length == 6;
    if (request.function != kWriteMultipleRegisters || request.start != kAlarmOutputRegister ||
        request.count > kMaxOutputWriteRegisters || length != 7 + 2 * request.count ||
        body[6] != 2 * request.count) {
        return false;
    }
    for (int index = 0; index < request.count; ++index) {
        uint16_t value = wordAt(body + 7 + 2 * index);
        if (value > 1 || (value == 1 && index >= kAlarmOutputsPerNode)) return false;
        if (value == 1) request.outputBits |= 1 << index;
    }
    return true;
}

// ----------------------------------------------------------------- answers

// How the stand-in node answers one request.
struct AnswerShape {
    bool wrongAddress = false;
    bool wrongFunction = false;
    bool wrongByteCount = false;
    bool badCrc = false;
    enum Length { Exact, OneShort, OneLong, Exception, CutOff } length = Exact;
};

AnswerShape answerShapeFrom(FuzzInput& input) {
    uint8_t choice = input.byte();
    AnswerShape shape;
    // Mostly proper answers, so that the values behind them get decoded.
    if ((choice & 0x80) == 0) return shape;
    shape.wrongAddress = (choice & 1) != 0;
    shape.wrongFunction = (choice & 2) != 0;
    shape.wrongByteCount = (choice & 4) != 0;
    shape.badCrc = (choice & 8) != 0;
    static constexpr AnswerShape::Length kLengths[] = {
        AnswerShape::Exact,    AnswerShape::Exact,     AnswerShape::OneShort, AnswerShape::OneLong,
        AnswerShape::Exception, AnswerShape::CutOff,   AnswerShape::CutOff,   AnswerShape::Exact};
    shape.length = kLengths[(choice >> 4) & 7];
    return shape;
}

// Whether the recorder must take such an answer: whole (a byte more on
// the line is left behind), from the node, with the request's function,
// the byte count of a read, and on a serial line the right CRC.
bool mustAccept(const AnswerShape& shape, const WireRequest& request, bool overTcp) {
    bool whole = shape.length == AnswerShape::Exact || shape.length == AnswerShape::OneLong;
    bool countMatters = request.function == kReadHoldingRegisters;
    return whole && !shape.wrongAddress && !shape.wrongFunction &&
           !(countMatters && shape.wrongByteCount) && !(shape.badCrc && !overTcp);
}

// The answer's RTU body without CRC: address, function, then the byte count
// and register data of a read or the echo of a write.
Bytes answerBody(const AnswerShape& shape, const WireRequest& request, const Bytes& data) {
    Bytes body{static_cast<uint8_t>(request.node), static_cast<uint8_t>(request.function)};
    if (request.function == kReadHoldingRegisters) {
        body.push_back(static_cast<uint8_t>(2 * request.count));
        body.insert(body.end(), data.begin(), data.end());
    } else {
        body.insert(body.end(), {0x0C, 0x20, 0, static_cast<uint8_t>(request.count)});
    }
    if (shape.wrongAddress) body[0] = static_cast<uint8_t>(request.node ^ 0x20);
    if (shape.wrongFunction) body[1] |= 0x80;
    if (shape.wrongByteCount) body[2] = static_cast<uint8_t>(body[2] + 1);
    if (shape.length == AnswerShape::Exception) body = {body[0], static_cast<uint8_t>(body[1] | 0x80), 0x0B};
    return body;
}

Bytes rtuAnswer(const AnswerShape& shape, const Bytes& body) {
    Bytes frame = withCrc(body);
    if (shape.badCrc) frame.back() ^= 0xFF;
    return frame;
}

Bytes tcpAnswer(const Bytes& body) {
    Bytes frame{0, 0, 0, 0, static_cast<uint8_t>(body.size() >> 8), static_cast<uint8_t>(body.size())};
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

void applyLength(const AnswerShape& shape, Bytes& frame, FuzzInput& input) {
    if (shape.length == AnswerShape::OneShort) frame.pop_back();
    if (shape.length == AnswerShape::OneLong) frame.push_back(input.byte());
    if (shape.length == AnswerShape::CutOff) frame.resize(input.byte() % frame.size());
}

// ------------------------------------------------------------- the node


Bytes registerData(int count) {
    std::string_view bytes = state->input->bytes(static_cast<size_t>(2 * count));
    Bytes data(bytes.begin(), bytes.end());
    data.resize(static_cast<size_t>(2 * count), 0);
    return data;
}

// Serves a parsed request: records it and returns the answer frame.
Bytes answerRequest(const WireRequest& request) {
    AnswerShape shape = answerShapeFrom(*state->input);
    Served served{request, mustAccept(shape, request, state->overTcp), {}};
    if (request.function == kReadHoldingRegisters) served.data = registerData(request.count);
    Bytes body = answerBody(shape, request, served.data);
    Bytes frame = state->overTcp ? tcpAnswer(body) : rtuAnswer(shape, body);
    applyLength(shape, frame, *state->input);
    state->served.push_back(served);
    return frame;
}

bool readFromLine(uint8_t* bytes, int length) {
    int have = 0;
    while (have < length) {
        pollfd entry{line().master(), POLLIN, 0};
        if (poll(&entry, 1, kRequestWaitMs) <= 0) return false;
        ssize_t got = read(line().master(), bytes + have, static_cast<size_t>(length - have));
        if (got <= 0) return false;
        have += static_cast<int>(got);
    }
    return true;
}

// Serial: a request on the line (address, function, start, count, the data
// of a write, CRC) gets its answer written back at once.
void serveSerial() {
    pollfd entry{line().master(), POLLIN, 0};
    if (poll(&entry, 1, 0) <= 0) return;
    uint8_t frame[kMaxRtuFrameBytes + 8];
    int length = 6;
    bool whole = readFromLine(frame, 6);
    if (whole && frame[1] == kWriteMultipleRegisters) {
        whole = readFromLine(frame + 6, 1) && readFromLine(frame + 7, frame[6]);
        length = 7 + frame[6];
    }
    whole = whole && readFromLine(frame + length, 2);
    WireRequest request;
    if (!whole || modbusCrc(frame, length) != (frame[length] | (frame[length + 1] << 8)) ||
        !parseRequestBody(frame, length, request)) {
        state->malformedRequest = true;
        return;
    }
    Bytes answer = answerRequest(request);
    if (!answer.empty()) line().send(answer);
}

// Modbus/TCP: plays the socket thread's side of the mailbox. A send takes
// the request from the send buffer; a receive delivers at most the
// expected length, and anything else loses the connection, as a real
// receive does.
WireRequest pendingTcpRequest;

void serveTcpSend() {
    RequestMailbox& box = requestMailbox;
    int length = box.sendLength.load(std::memory_order_acquire);
    const uint8_t* frame = box.sendBuffer;
    bool header = length >= 7 && length <= kMailboxBufferBytes && wordAt(frame) == 0 &&
                  wordAt(frame + 2) == 0 && wordAt(frame + 4) == length - 6;
    if (!header || !parseRequestBody(frame + 6, length - 6, pendingTcpRequest)) {
        state->malformedRequest = true;
    }
    store(box.sendRequest, 0);
}

void serveTcpReceive(int buffer) {
    RequestMailbox& box = requestMailbox;
    pendingTcpRequest.receiveBuffer = buffer;
    Bytes answer = answerRequest(pendingTcpRequest);
    int expected = load(box.expectedLength);
    int delivered = std::min(static_cast<int>(answer.size()), expected);
    std::memcpy(buffer == kBufferB ? box.bufferB : box.bufferA, answer.data(),
                static_cast<size_t>(std::max(delivered, 0)));
    store(box.receivedLength, delivered);
    if (delivered != expected) store(box.connectRequest, 2);
    store(box.receiveRequest, 0);
}

// One pass of the socket thread: a pending connect or reconnect succeeds
// at once, then a send or a receive.
void serveTcp() {
    if (load(requestMailbox.connectRequest) != 0) store(requestMailbox.connectRequest, 0);
    if (load(requestMailbox.sendRequest) != 0) {
        serveTcpSend();
        return;
    }
    int receive = load(requestMailbox.receiveRequest);
    if (receive != 0) serveTcpReceive(receive);
}

// The clock the recorder waits on: every wait is the moment the far end
// answers, so nothing really sleeps.
class ServingClock final : public Clock {
public:
    SystemTime localTime() override { return time_.localTime(); }
    int64_t epochSeconds() override { return time_.epochSeconds(); }
    uint32_t tickCount() override { return time_.tickCount(); }
    void sleepMs(uint32_t milliseconds) override {
        time_.advanceMs(milliseconds);
        if (state->overTcp) {
            serveTcp();
        } else {
            serveSerial();
        }
    }
    // The requester's wait for the socket thread.
    bool sleepUntilSignalled(WakeEvent& event, uint32_t) override {
        sleepMs(1);
        event.clear();
        return true;
    }

private:
    FakeClock time_;
};

// The serial transport as the recorder runs it, with the node's answer on
// the line by the time the answer is read (a real node's answer ends the
// read as soon as it is whole); over TCP the real transport.
int exchangeWithTheStandIn(const NodeRequest& request, uint8_t* answer) {
    if (state->overTcp) return kRealNodeTransport.exchange(request, answer);
    if (!putRequest(request)) return -1;
    serveSerial();
    return readResponse(request.node, answer, answerBytes(request));
}

// A refused answer makes the polling reopen the link; over TCP the socket
// thread reconnects meanwhile.
void countReopen() {
    ++state->reopens;
    int lost = 2;
    requestMailbox.connectRequest.compare_exchange_strong(lost, 0);
}

}  // namespace

ModbusStandIn& ModbusStandIn::install() {
    static ModbusStandIn standIn;
    if (state != nullptr) return standIn;
    state = new NodeState;  // lives as long as the process
    if (!line().ok() || linkSerialPort().open(line().slavePath().c_str()) != 0) {
        std::fprintf(stderr, "no pseudo-terminal for the serial line\n");
        std::abort();
    }
    // Answers are on the line before the read: it need not wait.
    linkSerialPort().setTimeouts({0, 5, 5});
    installClock(new ServingClock);
    nodeTransport = {exchangeWithTheStandIn, countReopen};
    store(acquisitionRequested, 1);
    store(acquisitionActive, 1);
    return standIn;
}

void ModbusStandIn::beginStep(FuzzInput& input, bool overTcp) {
    *state = NodeState{};
    state->input = &input;
    state->overTcp = overTcp;
    store(requestMailbox.connectRequest, 0);
}

void ModbusStandIn::endInput() { state->input = nullptr; }
bool ModbusStandIn::overTcp() const { return state->overTcp; }
const std::vector<Served>& ModbusStandIn::served() const { return state->served; }
int ModbusStandIn::reopens() const { return state->reopens; }
bool ModbusStandIn::malformedRequest() const { return state->malformedRequest; }

int ModbusStandIn::refusedCount() const {
    int refused = 0;
    for (const Served& entry : state->served) refused += entry.accepted ? 0 : 1;
    return refused;
}

}  // namespace kvt::test
