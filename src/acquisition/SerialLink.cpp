#include <cstdio>
#include <cstring>

#include "acquisition/ModbusLink.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SerialDevicePath.h"
#include "acquisition/SerialOpenReport.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "core/ThreadConfiguration.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

constexpr int kReadAttempts = 3;
constexpr int kRetryPauseMs = 2;
// Silence between RTU frames: 3.5 characters, which above 19,200 baud is
// the fixed 1.75 ms Modbus serial lines keep (3.5 characters at 38,400 baud
// would be 1.0 ms).
constexpr int kFrameGapMicroseconds = 1750;

SerialPort serialPort;
uint8_t requestFrame[kMaxRtuFrameBytes + 8];

bool onTcp() { return threadConfiguration().commPort == kCommPortTcp; }
bool inHighSpeedMode() { return threadConfiguration().operatingMode == kHighSpeedMode; }
bool validNode(int node) { return node >= 1 && node <= kNodeCount; }

// The mailbox send buffer, cleared, ready for a new Modbus/TCP request.
uint8_t* clearedSendBuffer() {
    std::memset(requestMailbox.sendBuffer, 0, sizeof requestMailbox.sendBuffer);
    requestMailbox.sendLength.store(0, std::memory_order_release);
    return requestMailbox.sendBuffer;
}

void setSendLength(int length) {
    requestMailbox.sendLength.store(length, std::memory_order_release);
}

void writeToLine(int length) {
    serialPort.keepFrameGap();
    // A late answer to an earlier request must not be taken for this one.
    serialPort.discardInput();
    serialPort.write(requestFrame, length);
}

// Serial: the RTU frame goes out in one write. TCP: the Modbus/TCP form
// replaces the mailbox send buffer. A node outside 1-31 or a read of no
// registers gets nothing (and leaves an empty send buffer, so no stale
// request goes out instead).
bool sendRead(int node, int startRegister, int count) {
    bool valid = validNode(node) && count >= 1;
    if (onTcp()) {
        uint8_t* buffer = clearedSendBuffer();
        if (valid) setSendLength(buildTcpRead(buffer, node, startRegister, count));
    } else if (valid) {
        writeToLine(buildRtuRead(requestFrame, node, startRegister, count));
    }
    return valid;
}

int readAttempts(uint8_t* buffer, int length, int firstReadMs) {
    int received = serialPort.read(buffer, length, firstReadMs);
    if (received < 0) received = 0;
    for (int retry = 1; received < length && retry < kReadAttempts; ++retry) {
        activeClock().sleepMs(kRetryPauseMs);
        int more = serialPort.read(buffer + received, length - received);
        if (more > 0) received += more;
    }
    return received;
}

bool crcMatches(const uint8_t* frame, int length) {
    uint16_t crc = modbusCrc(frame, length - 2);
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

// Why fewer bytes came than asked for: none, a whole exception answer of
// the node, or part of something.
int shortResponseFailure(int node, const uint8_t* buffer, int received) {
    if (received <= 0) return kResponseMissing;
    bool exception = received >= kExceptionResponseBytes && buffer[0] == node &&
                     (buffer[1] & 0x80) != 0 && crcMatches(buffer, kExceptionResponseBytes);
    return exception ? kResponseException : kResponseWrong;
}

}  // namespace

// Unknown for every node at program start.
static_assert(kNodeCount == 31);
int outputRegisterCount[kNodeCount] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

void forgetOutputRegisterCounts() {
    for (int& count : outputRegisterCount) count = -1;
}

SerialTimeouts serialTimeoutsFor(int operatingMode) {
    if (operatingMode == kHighSpeedMode) return {10, 5, 5};
    return {300, 100, 200};
}

SerialPort& linkSerialPort() { return serialPort; }

int openLink() {
    if (onTcp()) return 0;
    const ConfigurationRecord& config = threadConfiguration();
    int commPort = config.commPort;
    char path[1200];
    if (!serialDevicePath(commPort, path, sizeof path)) return -1;
    serialPort.setTimeouts(serialTimeoutsFor(config.operatingMode));
    serialPort.setFrameGapMicroseconds(kFrameGapMicroseconds);
    if (serialPort.open(path) != 0) {
        reportSerialOpenFailure(commPort, path, serialPort.openError());
        return -1;
    }
    noteSerialPortOpened(commPort, path);
    return 0;
}

int closeLink() {
    if (!onTcp()) serialPort.close();
    return 0;
}

int blockReadDeviceType(int node) {
    const ConfigurationRecord& config = threadConfiguration();
    if (inHighSpeedMode()) return config.highSpeedNode.type;
    return validNode(node) ? config.nodeType[node - 1] : -1;
}

int blockReadRegisterCount(int node, int kind) {
    return blockReadRange(blockReadDeviceType(node), kind, 0, inHighSpeedMode()).count;
}

int blockReadResponseLength(int node, int kind) {
    return rtuReadResponseBytes(blockReadRegisterCount(node, kind));
}

bool sendBlockRead(int node, int kind, int block) {
    RegisterRange range =
        blockReadRange(blockReadDeviceType(node), kind, block, inHighSpeedMode());
    return sendRead(node, range.start, range.count);
}

bool sendDiscreteRead(int node) { return sendRead(node, kDiscreteInputRegister, 1); }

bool sendOutputCountRead(int node) { return sendRead(node, kOutputCountRegister, 1); }

bool sendOutputWrite(int node, int outputBits) {
    bool known = validNode(node) && outputRegisterCount[node - 1] >= 1;
    int registers = known ? outputRegisterCount[node - 1] : 0;
    if (onTcp()) {
        uint8_t* buffer = clearedSendBuffer();
        if (known) setSendLength(buildTcpOutputWrite(buffer, node, outputBits, registers));
    } else if (known) {
        writeToLine(buildRtuOutputWrite(requestFrame, node, outputBits, registers));
    }
    return known;
}

int readResponse(int node, uint8_t* buffer, int length, int firstReadMs) {
    if (load(acquisitionActive) == 0 || load(acquisitionRequested) == 0) return kResponseMissing;
    if (length < 4 || length > kMaxRtuFrameBytes) return kResponseMissing;
    if (firstReadMs < 0) firstReadMs = serialPort.timeouts().readTotalMs;
    int received = readAttempts(buffer, length, firstReadMs);
    if (received < length) return shortResponseFailure(node, buffer, received);
    if (!crcMatches(buffer, length)) return kResponseCrcMismatch;
    return buffer[0] == node ? length : kResponseWrong;
}

}  // namespace kvt
