#pragma once
#include <cstdint>

namespace kvt {

// One request to a node and its answer, the same for both transports:
// on a serial port the request goes out and the answer is read as soon as
// it is complete; over Modbus/TCP the socket thread sends it and receives
// the answer through the request mailbox.

enum class RequestKind { BlockRead, DiscreteRead, OutputCountRead, OutputWrite };

// Receive buffers of the request mailbox (Modbus/TCP only).
enum ReceiveBuffer : int { kBufferA = 1, kBufferB = 2 };

struct NodeRequest {
    RequestKind kind = RequestKind::BlockRead;
    int node = 0;
    int blockKind = 0;   // BlockRead: a BlockKind
    int block = 0;       // BlockRead: analog block 0-33 (MOD-15)
    int outputBits = 0;  // OutputWrite: bit i = output channel i + 1
    int receiveBuffer = kBufferA;
};

// Room for any answer: the RTU frame of the largest read.
constexpr int kAnswerBufferBytes = 256;

// RTU length of the request's answer (CRC included): 133 for an analog
// block of MOD-15, 37 for a probe, 7 for the single-register reads, 8 for
// the output write.
int answerBytes(const NodeRequest& request);

// How much longer than the read timeout a serial answer is awaited: 30 ms
// after the output write, 50 ms after every read. (These were once fixed
// waits before the read; an answer now ends the wait when it is complete,
// and a node that does not answer costs what it always did.)
int serialAnswerWaitMs(const NodeRequest& request);

// Writes the request to the serial port, or (Modbus/TCP) into the mailbox
// send buffer. Returns false when there is nothing to send (a node
// outside 1-31, an output write whose register count is unknown).
bool putRequest(const NodeRequest& request);

// Whether a full-length answer belongs to the request: the node's address,
// the request's function (an exception answer never matches) and, for a
// read, the byte count of the registers asked for.
bool answerMatches(const NodeRequest& request, const uint8_t* answer);

// The transport the polling uses. `exchange` sends the request and takes
// the answer into `answer` (RTU layout; over TCP without the CRC) and
// returns the answer length as received (compared with answerBytes).
// `reopen` closes and reopens the link after a failed read. Tests replace
// the table to stand in for nodes or to count requests.
struct NodeTransport {
    int (*exchange)(const NodeRequest& request, uint8_t* answer);
    void (*reopen)();
};

extern const NodeTransport kRealNodeTransport;
extern NodeTransport nodeTransport;

// One exchange through the transport in force: true when the full answer
// arrived and matches the request. Every exchange is counted for the node
// (NodeHealth.h).
bool exchangeWithNode(const NodeRequest& request, uint8_t* answer);

// Why an exchange failed (an ExchangeFailure), from what the transport
// returned (a length, or a ResponseFailure of the serial link) and the
// answer taken.
int exchangeFailure(const NodeRequest& request, const uint8_t* answer, int received);

// Closes and reopens the link (does nothing on Modbus/TCP, where the
// socket thread repairs the connection).
void reopenLink();

// The serial transport: the request, then readResponse with the first
// read allowed serialAnswerWaitMs beyond the read timeout.
int serialExchange(const NodeRequest& request, uint8_t* answer);

}  // namespace kvt
