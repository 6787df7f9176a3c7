#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "acquisition/ModbusFrames.h"
#include "core/DeviceTables.h"
#include "support/PtyPair.h"

namespace kvt {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes rtuRead(int node, int start, int count) {
    uint8_t frame[kMaxRtuFrameBytes];
    int length = buildRtuRead(frame, node, start, count);
    return Bytes(frame, frame + length);
}

Bytes tcpRead(int node, int start, int count) {
    uint8_t frame[kMaxRtuFrameBytes];
    int length = buildTcpRead(frame, node, start, count);
    return Bytes(frame, frame + length);
}

Bytes rtuWrite(int node, int bits, int registers) {
    uint8_t frame[kMaxRtuFrameBytes];
    int length = buildRtuOutputWrite(frame, node, bits, registers);
    return Bytes(frame, frame + length);
}

Bytes tcpWrite(int node, int bits, int registers) {
    uint8_t frame[kMaxRtuFrameBytes];
    int length = buildTcpOutputWrite(frame, node, bits, registers);
    return Bytes(frame, frame + length);
}

// The reference CRC of the first `length` bytes, computed bit by bit,
// independent of the lookup tables.
uint16_t bitwiseCrc(const Bytes& bytes, size_t length) {
    return test::referenceCrc(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
}

TEST(ModbusCrc, MatchesKnownFramesAndTheBitwiseDefinition) {
    uint8_t probe[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x10};
    EXPECT_EQ(modbusCrc(probe, 6), 0x0644);
    uint8_t standardCheck[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(modbusCrc(standardCheck, 9), 0x4B37);
    EXPECT_EQ(modbusCrc(probe, 0), 0xFFFF);
    Bytes every(256);
    for (int value = 0; value < 256; ++value) every[value] = static_cast<uint8_t>(value * 7 + 3);
    EXPECT_EQ(modbusCrc(every.data(), 256), bitwiseCrc(every, 256));
}

TEST(ReadRequests, ProbeOfNodeOneOnMod15IsTheDocumentedFrame) {
    RegisterRange range = blockReadRange(kMod15Type, kProbeBlock, 0, false);
    EXPECT_EQ(range.start, 0);
    EXPECT_EQ(range.count, 16);
    EXPECT_EQ(rtuRead(1, range.start, range.count),
              (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x10, 0x44, 0x06}));
    EXPECT_EQ(rtuReadResponseBytes(range.count), 37);
}

TEST(ReadRequests, Mod15AnalogBlocksStepBy64Registers) {
    RegisterRange last = blockReadRange(kMod15Type, kAnalogBlock, 33, false);
    EXPECT_EQ(last.start, 2112);
    EXPECT_EQ(last.count, 64);
    Bytes frame = rtuRead(7, last.start, last.count);
    EXPECT_EQ(frame[2], 8);
    EXPECT_EQ(frame[3], 0x40);
    EXPECT_EQ(frame[5], 64);
    EXPECT_EQ(blockReadRange(kMod15Type, kAnalogBlock, 1, false).start, 64);
    EXPECT_EQ(blockReadRange(kMod15Type, kAnalogBlock, 5, false).start, 320);
    EXPECT_EQ(rtuReadResponseBytes(64), 133);
}

TEST(ReadRequests, OtherTypesAndHighSpeedReadTheTypeBlock) {
    // High speed: the block number does not move the start on MOD-15.
    RegisterRange fast = blockReadRange(kMod15Type, kAnalogBlock, 12, true);
    EXPECT_EQ(fast.start, 0);
    EXPECT_EQ(fast.count, 64);
    RegisterRange mod08 = blockReadRange(7, kAnalogBlock, 3, false);
    EXPECT_EQ(mod08.start, 0x20);
    EXPECT_EQ(mod08.count, 64);
    RegisterRange mod12 = blockReadRange(11, kAnalogBlock, 0, false);
    EXPECT_EQ(mod12.start, 0x10);
    EXPECT_EQ(mod12.count, 24);
    EXPECT_EQ(rtuReadResponseBytes(mod12.count), deviceTypes[11].responseBytes);
    RegisterRange mod05Probe = blockReadRange(4, kProbeBlock, 0, false);
    EXPECT_EQ(mod05Probe.start, 0x10);
    EXPECT_EQ(mod05Probe.count, 16);
}

TEST(ReadRequests, TypesOutsideTheTableReadNothing) {
    EXPECT_EQ(blockReadRange(-1, kAnalogBlock, 0, false).count, 0);
    EXPECT_EQ(blockReadRange(15, kProbeBlock, 0, false).count, 0);
    EXPECT_EQ(blockReadRange(kMod15Type, kAnalogBlock, 34, false).count, 0);
}

TEST(ReadRequests, DiscreteInputAndOutputCountReads) {
    EXPECT_EQ(rtuRead(0x1F, kDiscreteInputRegister, 1),
              (Bytes{0x1F, 0x03, 0x0C, 0x00, 0x00, 0x01, 0x84, 0xE4}));
    Bytes count = rtuRead(2, kOutputCountRegister, 1);
    ASSERT_EQ(count.size(), 8u);
    EXPECT_EQ(Bytes(count.begin(), count.begin() + 6), (Bytes{0x02, 0x03, 0x25, 0x98, 0x00, 0x01}));
    EXPECT_EQ(count[6] | (count[7] << 8), bitwiseCrc(count, 6));
}

TEST(ReadRequests, TcpFormHasTheHeaderAndNoCrc) {
    EXPECT_EQ(tcpRead(1, 0, 16), (Bytes{0, 0, 0, 0, 0, 6, 0x01, 0x03, 0x00, 0x00, 0x00, 0x10}));
    EXPECT_EQ(tcpRead(0x1F, kDiscreteInputRegister, 1),
              (Bytes{0, 0, 0, 0, 0, 6, 0x1F, 0x03, 0x0C, 0x00, 0x00, 0x01}));
    EXPECT_EQ(tcpRead(3, kOutputCountRegister, 1),
              (Bytes{0, 0, 0, 0, 0, 6, 0x03, 0x03, 0x25, 0x98, 0x00, 0x01}));
    EXPECT_EQ(tcpRead(9, 2112, 64),
              (Bytes{0, 0, 0, 0, 0, 6, 0x09, 0x03, 0x08, 0x40, 0x00, 0x40}));
}

TEST(OutputWrite, RtuFrameCarriesOneRegisterPerOutput) {
    for (int registers = 1; registers <= 4; ++registers) {
        SCOPED_TRACE(registers);
        Bytes frame = rtuWrite(5, 0b1010, registers);
        ASSERT_EQ(static_cast<int>(frame.size()), rtuOutputWriteBytes(registers));
        EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 7),
                  (Bytes{0x05, 0x10, 0x0C, 0x20, 0x00, static_cast<uint8_t>(registers),
                         static_cast<uint8_t>(2 * registers)}));
        for (int index = 0; index < registers; ++index) {
            EXPECT_EQ(frame[7 + 2 * index], 0);
            EXPECT_EQ(frame[8 + 2 * index], (0b1010 >> index) & 1) << "register " << index;
        }
        size_t body = frame.size() - 2;
        EXPECT_EQ(frame[body] | (frame[body + 1] << 8), bitwiseCrc(frame, body));
    }
    EXPECT_EQ(rtuWrite(1, 0b0001, 1),
              (Bytes{0x01, 0x10, 0x0C, 0x20, 0x00, 0x01, 0x02, 0x00, 0x01, 0xAC, 0xF0}));
}

TEST(OutputWrite, TcpFormMatchesTheRtuBody) {
    for (int registers = 1; registers <= 4; ++registers) {
        SCOPED_TRACE(registers);
        Bytes rtu = rtuWrite(0x1E, 0b0111, registers);
        Bytes tcp = tcpWrite(0x1E, 0b0111, registers);
        ASSERT_EQ(static_cast<int>(tcp.size()), tcpOutputWriteBytes(registers));
        EXPECT_EQ(Bytes(tcp.begin(), tcp.begin() + 6),
                  (Bytes{0, 0, 0, 0, 0, static_cast<uint8_t>(7 + 2 * registers)}));
        EXPECT_EQ(Bytes(tcp.begin() + 6, tcp.end()), Bytes(rtu.begin(), rtu.end() - 2));
    }
}

TEST(OutputWrite, CountsBeyondFourWriteZerosAndStayInsideTheBuffers) {
    Bytes five = rtuWrite(1, 0xFF, 5);
    ASSERT_EQ(five.size(), 19u);
    EXPECT_EQ(five[8], 1);
    EXPECT_EQ(five[14], 1);  // fourth output
    EXPECT_EQ(five[16], 0);  // fifth register: no output behind it
    // A node may report up to 127 registers; the write is capped so that
    // both forms fit 256 bytes.
    EXPECT_EQ(clampOutputWriteRegisters(127), kMaxOutputWriteRegisters);
    EXPECT_LE(tcpWrite(1, 0xF, 127).size(), 256u);
    EXPECT_LE(rtuWrite(1, 0xF, 127).size(), 256u);
    EXPECT_EQ(clampOutputWriteRegisters(0), 1);
}

}  // namespace
}  // namespace kvt
