#pragma once
#include <cstdint>

#include "core/DeviceTables.h"

namespace kvt {

// Pure decoding of read answers. An answer is in RTU layout: address,
// function, byte count, then the data registers (high byte first) from
// byte 3; `registerCount` is the number of registers the answer carries.

constexpr int kAnswerDataOffset = 3;

// Whether channel (1-based register number) lies in block b, that is
// 64 b < channel <= 64 b + 64.
constexpr bool channelInBlock(int channel, int block) {
    return channel > kMod15BlockRegisterCount * block &&
           channel <= kMod15BlockRegisterCount * (block + 1);
}

// Channels whose 32-bit values are unsigned (the energy counters and the
// operating time); all other 32-bit values are signed.
constexpr bool isUnsignedChannel(int channel) { return channel >= 193 && channel <= 241; }

// Register r (0-based) of the answer.
uint16_t answerRegister(const uint8_t* answer, int r);

// The value of a pen on `channel` from its register words: kind 25 takes
// `low` alone as a signed 16-bit integer times 0.1; kinds 21-24 take a
// 32-bit integer of `high` and `low`, unsigned on channels 193-241 and
// signed elsewhere, times 1, 0.1, 0.01 or 0.0001.
double decodeRegisterValue(uint16_t low, uint16_t high, int channel, int dataKind);

// Decodes the value of an analog pen on `channel` from the answer of block
// `block`: register r = channel - 1 - 64 b, one signed 16-bit register times
// 0.1 for data kind 25, else a 32-bit integer with its low word in r and its
// high word in r + 1, times 1, 0.1, 0.01 or 0.0001 by data kind 21-24.
// False (value untouched) when a register the pen needs is not in the
// answer: the pen then keeps its last value.
bool decodeAnalogValue(const uint8_t* answer, int registerCount, int block, int channel,
                       int dataKind, double& value);

// The status register of a power-factor pen: 15 for channel 11, 77 for 71,
// 79 for 73, 81 for 75; 0 for other channels.
int powerFactorStatusChannel(int channel);

// The low byte of register `statusChannel` (1-based) from the answer of
// block `block`. False when the register is not in the answer.
bool decodeStatusByte(const uint8_t* answer, int registerCount, int block, int statusChannel,
                      uint8_t& status);

}  // namespace kvt
