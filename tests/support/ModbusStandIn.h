#pragma once
#include <cstdint>
#include <vector>

#include "support/FuzzInput.h"

namespace kvt::test {

// A Modbus request as it went over the wire.
struct WireRequest {
    int node = 0;
    int function = 0;
    int start = 0;
    int count = 0;          // registers read or written
    int outputBits = 0;     // write: bit i = register i holds 1
    int receiveBuffer = 0;  // TCP: the mailbox buffer the answer went to
    bool operator==(const WireRequest& other) const {
        return node == other.node && function == other.function && start == other.start &&
               count == other.count && outputBits == other.outputBits;
    }
};

// One request as the stand-in node saw it and what it answered.
struct Served {
    WireRequest request;
    bool accepted = false;      // the recorder must take the answer
    std::vector<uint8_t> data;  // register data of a read answer
};

// The far end of the recorder's own Modbus link for fuzz harnesses: the
// node on a serial line (a pseudo-terminal the link has open) or the socket
// thread's side of the Modbus/TCP mailbox. Every wait of the recorder on
// the clock, and on a serial line the moment between request and read, is
// the moment it serves: it checks the request the recorder
// has just put on the line or in the mailbox and answers it in a shape the
// fuzz input chooses (right or wrong address, function, byte count and CRC;
// exact, a byte short or long, an exception frame, cut off or silent) with
// register data from the input. The link's reopen after a refused answer
// is counted instead (over TCP the socket thread reconnects meanwhile).
// Set up once per process; the acquisition run flags are set.
class ModbusStandIn {
public:
    static ModbusStandIn& install();

    // A fresh step: answers come from `input`, nothing served or reopened.
    void beginStep(FuzzInput& input, bool overTcp);
    void endInput();

    bool overTcp() const;
    const std::vector<Served>& served() const;
    int reopens() const;
    int refusedCount() const;
    // A request that was not a well-formed read or alarm output write.
    bool malformedRequest() const;

private:
    ModbusStandIn() = default;
};

// Register r of a big-endian register image.
inline uint16_t wordAt(const uint8_t* bytes) {
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

}  // namespace kvt::test
