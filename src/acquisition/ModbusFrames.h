#pragma once
#include <cstdint>

namespace kvt {

// Modbus request frames as the recorder sends them, built into caller
// buffers without allocation. RTU frames end with the CRC (low byte first);
// Modbus/TCP frames start with a 7-byte header (transaction 0, protocol 0,
// length, unit id) and carry no CRC.

constexpr int kReadHoldingRegisters = 3;
constexpr int kWriteMultipleRegisters = 16;

constexpr int kMaxRtuFrameBytes = 256;
constexpr int kProbeRegisterCount = 16;
constexpr int kOutputWriteResponseBytes = 8;
constexpr int kSingleRegisterResponseBytes = 7;  // discrete input and output count reads
constexpr int kExceptionResponseBytes = 5;        // address, function + 0x80, code, CRC

// The most output registers one write may declare: its Modbus/TCP form
// (13 + 2n bytes) must fit the 256-byte send buffer of the socket thread.
constexpr int kMaxOutputWriteRegisters = 121;

constexpr int rtuOutputWriteBytes(int registers) { return 9 + 2 * registers; }
constexpr int tcpOutputWriteBytes(int registers) { return 13 + 2 * registers; }
// RTU response to a read of `registers` registers: address, function,
// byte count, data, CRC.
constexpr int rtuReadResponseBytes(int registers) { return 5 + 2 * registers; }

// CRC-16/MODBUS (reflected 0xA001, initial 0xFFFF, no final XOR).
uint16_t modbusCrc(const uint8_t* bytes, int length);

// Kinds of block read.
enum BlockKind : int {
    kAnalogBlock = 0,  // the analog registers (one 64-register block on MOD-15)
    kProbeBlock = 1,   // 16 registers from the type's start register: does the node answer?
};

struct RegisterRange {
    int start = 0;
    int count = 0;
};

// Registers a block read covers. On a MOD-15 node in normal mode the analog
// block b (0-33) is registers 64 b to 64 b + 63; otherwise the type's own
// block. Device types outside the table read nothing (count 0).
RegisterRange blockReadRange(int deviceType, int kind, int block, bool highSpeedMode);

// Read holding registers (function 3). Return the frame length (8 or 12).
int buildRtuRead(uint8_t* frame, int node, int startRegister, int count);
int buildTcpRead(uint8_t* frame, int node, int startRegister, int count);

// Alarm output write (function 16 at 0x0C20) of `registers` registers;
// register i carries bit i of `outputBits` for the four output channels and
// 0 beyond them. `registers` is limited to 1..kMaxOutputWriteRegisters.
// Return the frame length (9 + 2n or 13 + 2n).
int buildRtuOutputWrite(uint8_t* frame, int node, int outputBits, int registers);
int buildTcpOutputWrite(uint8_t* frame, int node, int outputBits, int registers);

// Limits a learned output register count to what one write may carry.
int clampOutputWriteRegisters(int registers);

}  // namespace kvt
