#pragma once
#include <cstdint>

#include "acquisition/ModbusFrames.h"
#include "core/ConfigurationRecord.h"
#include "platform/SerialPort.h"

namespace kvt {

// The Modbus link of the acquisition thread: the serial port for COM1-COM5
// (commPort 0-4) and the Modbus/TCP form of every request for TCP/IP
// (commPort 5), which goes to the request mailbox of the socket thread.
// Only the acquisition thread calls these; nothing here allocates.

// Opens the serial link with its line settings; does nothing on TCP/IP
// (commPort 5), where the socket thread owns the connection. 0 or -1; a
// port that does not open is told on standard error (SerialOpenReport.h).
int openLink();
// Closes the serial link (not on TCP/IP). Always 0.
int closeLink();

// Requests. On a serial port each is written in one call; on TCP/IP the
// Modbus/TCP form goes into the mailbox send buffer (the rest of the buffer
// cleared) and the send length is set; the caller then raises sendRequest.
// Each returns false when there is nothing to send: a node outside 1-31, a
// read of no registers (a device type outside the table, a block beyond
// 33), an output write while the node's register count is unknown. Then
// nothing goes out (on TCP/IP: an empty send buffer, length 0).
// `kind` is a BlockKind; `block` (0-33) matters for analog blocks on MOD-15.
bool sendBlockRead(int node, int kind, int block);
bool sendDiscreteRead(int node);
bool sendOutputCountRead(int node);
// Alarm outputs: register i carries bit i of `outputBits`; the register
// count is the node's learned outputRegisterCount (nothing is sent while it
// is unknown or below 1).
bool sendOutputWrite(int node, int outputBits);

// What readResponse returns instead of the length when no good response came.
enum ResponseFailure : int {
    kResponseMissing = -1,      // nothing came (or acquisition is not running: no read)
    kResponseCrcMismatch = -2,  // the whole length came, with a wrong CRC
    kResponseException = -3,    // a Modbus exception answer from the node
    kResponseWrong = -4,        // part of an answer only, or one from another address
};

// Reads a serial response of exactly `length` bytes, returning as soon as
// they are there: a first read that ends with fewer after `firstReadMs`
// (the port's read timeout when negative) is followed by at most two more
// of the read timeout, 2 ms apart. Returns `length`, or a ResponseFailure.
// `buffer` must hold `length` bytes (4 to 256). Requests on the line keep
// 1.75 ms of silence after the last byte of an answer (the port's frame
// gap, set by openLink).
int readResponse(int node, uint8_t* buffer, int length, int firstReadMs = -1);

// Registers a block read of `kind` to `node` asks for under the live
// configuration (64 for an analog block of MOD-15, 16 for a probe; 0 when
// the node's device type is outside the table).
int blockReadRegisterCount(int node, int kind);

// RTU response length of that read (133 for an analog block of MOD-15, 37
// for a probe).
int blockReadResponseLength(int node, int kind);

// Device type a block read to `node` uses: the high-speed node's type in
// high-speed mode, else the node's type.
int blockReadDeviceType(int node);

// Output registers of node 1-31 (index node - 1) as learned from register
// 0x2598; -1 = unknown. Written by node polling on the acquisition thread.
extern int outputRegisterCount[kNodeCount];
void forgetOutputRegisterCounts();

// Serial line timeouts by operating mode: 10 ms read, 5 ms per byte + 5 ms
// write in high-speed mode; 300 ms read, 100 ms per byte + 200 ms otherwise.
SerialTimeouts serialTimeoutsFor(int operatingMode);

// The serial port of the link (for diagnostics and tests).
SerialPort& linkSerialPort();

}  // namespace kvt
