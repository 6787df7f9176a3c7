#include "acquisition/ModbusFrames.h"

#include <array>

#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"

namespace kvt {
namespace {

// The usual pair of lookup tables: the high and the low byte of the CRC of
// every byte value, generated at compile time from the polynomial.
struct CrcTables {
    std::array<uint8_t, 256> high{};
    std::array<uint8_t, 256> low{};
};

constexpr CrcTables makeCrcTables() {
    CrcTables tables;
    for (int value = 0; value < 256; ++value) {
        uint16_t crc = static_cast<uint16_t>(value);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
        tables.low[value] = static_cast<uint8_t>(crc & 0xFF);
        tables.high[value] = static_cast<uint8_t>(crc >> 8);
    }
    return tables;
}

constexpr CrcTables crcTables = makeCrcTables();

uint8_t highByte(int value) { return static_cast<uint8_t>((value >> 8) & 0xFF); }
uint8_t lowByte(int value) { return static_cast<uint8_t>(value & 0xFF); }

// Address, function, start register, register count: how both requests begin.
int putRequestHead(uint8_t* body, int node, int function, int startRegister, int count) {
    body[0] = lowByte(node);
    body[1] = static_cast<uint8_t>(function);
    body[2] = highByte(startRegister);
    body[3] = lowByte(startRegister);
    body[4] = highByte(count);
    body[5] = lowByte(count);
    return 6;
}

int putReadBody(uint8_t* body, int node, int startRegister, int count) {
    return putRequestHead(body, node, kReadHoldingRegisters, startRegister, count);
}

int putOutputWriteBody(uint8_t* body, int node, int outputBits, int registers) {
    putRequestHead(body, node, kWriteMultipleRegisters, kAlarmOutputRegister, registers);
    body[6] = static_cast<uint8_t>(2 * registers);
    int length = 7;
    for (int index = 0; index < registers; ++index) {
        bool on = index < kAlarmOutputsPerNode && ((outputBits >> index) & 1) != 0;
        body[length++] = 0;
        body[length++] = on ? 1 : 0;
    }
    return length;
}

int appendCrc(uint8_t* frame, int length) {
    uint16_t crc = modbusCrc(frame, length);
    frame[length] = lowByte(crc);
    frame[length + 1] = highByte(crc);
    return length + 2;
}

// Turns an RTU body (address first) into the Modbus/TCP form: the header
// takes the address as unit id, the body without its address follows.
int putTcpFrame(uint8_t* frame, int bodyLength) {
    int following = bodyLength;  // unit id + function onwards
    frame[0] = 0;
    frame[1] = 0;
    frame[2] = 0;
    frame[3] = 0;
    frame[4] = highByte(following);
    frame[5] = lowByte(following);
    // frame[6] already holds the unit id: the body was built at offset 6.
    return 6 + bodyLength;
}

}  // namespace

uint16_t modbusCrc(const uint8_t* bytes, int length) {
    uint8_t crcHigh = 0xFF;
    uint8_t crcLow = 0xFF;
    for (int index = 0; index < length; ++index) {
        uint8_t slot = crcLow ^ bytes[index];
        crcLow = crcHigh ^ crcTables.low[slot];
        crcHigh = crcTables.high[slot];
    }
    return static_cast<uint16_t>((crcHigh << 8) | crcLow);
}

RegisterRange blockReadRange(int deviceType, int kind, int block, bool highSpeedMode) {
    if (deviceType < 0 || deviceType >= kDeviceTypeCount) return {};
    const DeviceTypeInfo& type = deviceTypes[deviceType];
    if (kind == kProbeBlock) return {type.startRegister, kProbeRegisterCount};
    if (deviceType == kMod15Type && !highSpeedMode) {
        if (block < 0 || block >= kMod15BlockCount) return {};
        return {kMod15BlockRegisterCount * block, type.registerCount};
    }
    return {type.startRegister, type.registerCount};
}

int buildRtuRead(uint8_t* frame, int node, int startRegister, int count) {
    return appendCrc(frame, putReadBody(frame, node, startRegister, count));
}

int buildTcpRead(uint8_t* frame, int node, int startRegister, int count) {
    return putTcpFrame(frame, putReadBody(frame + 6, node, startRegister, count));
}

int clampOutputWriteRegisters(int registers) {
    if (registers < 1) return 1;
    return registers > kMaxOutputWriteRegisters ? kMaxOutputWriteRegisters : registers;
}

int buildRtuOutputWrite(uint8_t* frame, int node, int outputBits, int registers) {
    int count = clampOutputWriteRegisters(registers);
    return appendCrc(frame, putOutputWriteBody(frame, node, outputBits, count));
}

int buildTcpOutputWrite(uint8_t* frame, int node, int outputBits, int registers) {
    int count = clampOutputWriteRegisters(registers);
    return putTcpFrame(frame, putOutputWriteBody(frame + 6, node, outputBits, count));
}

}  // namespace kvt
