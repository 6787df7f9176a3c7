#pragma once
#include <cstdint>

namespace kvt {

class TcpClient;

// Total length of the Modbus/TCP frame that starts at `bytes` (the 6-byte
// header's length field plus 6), or 0 while fewer than 6 bytes are there.
int tcpFrameLength(const uint8_t* bytes, int have);

// Whether the `received` bytes are exactly one Modbus/TCP frame, as its
// header tells (protocol 0, unit id and function at least): an exception
// answer is such a frame, a cut or overlong answer is not.
bool tcpAnswerComplete(const uint8_t* bytes, int received);

// Receives one answer of `expected` bytes into `buffer`. A stream may
// deliver an answer in several pieces, so this keeps receiving until the
// expected length has arrived, the frame's own header says it is complete
// with fewer bytes (an exception answer), the peer closes, or a receive
// fails (cancelled by the watchdog, or after `limitMs` without data).
// Never takes more than `expected` bytes. Returns the bytes received.
int receiveTcpAnswer(TcpClient& client, uint8_t* buffer, int expected, int limitMs);

}  // namespace kvt
