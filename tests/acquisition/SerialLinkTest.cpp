#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "acquisition/ModbusLink.h"
#include "acquisition/NodeExchange.h"
#include "acquisition/RequestMailbox.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "support/FakeClock.h"
#include "support/LinkTestState.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Bytes = std::vector<uint8_t>;
using test::withCrc;

// The link on COM1, whose link ~/.config/kvt936p/com1 leads to a pseudo-terminal
// the test plays the node on.
class SerialLinkTest : public ::testing::Test, protected test::RunningLinkState {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        ASSERT_TRUE(test::linkCom1To(home.path(), line.slavePath()));
    }
    void openIn(int mode) {
        liveConfiguration.operatingMode = mode;
        ASSERT_EQ(openLink(), 0);
    }

    test::TempHome home;
    test::PtyPair line;
};

const Bytes kDiscreteOn = withCrc({0x01, 0x03, 0x02, 0x00, 0x01});

TEST_F(SerialLinkTest, EveryRequestGoesOutAsOneRtuFrame) {
    openIn(kNormalMode);
    sendBlockRead(1, kProbeBlock, 0);
    EXPECT_EQ(line.receive(8), (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x10, 0x44, 0x06}));
    sendBlockRead(2, kAnalogBlock, 33);
    EXPECT_EQ(line.receive(8), withCrc({0x02, 0x03, 0x08, 0x40, 0x00, 0x40}));
    sendDiscreteRead(3);
    EXPECT_EQ(line.receive(8), withCrc({0x03, 0x03, 0x0C, 0x00, 0x00, 0x01}));
    sendOutputCountRead(4);
    EXPECT_EQ(line.receive(8), withCrc({0x04, 0x03, 0x25, 0x98, 0x00, 0x01}));
    outputRegisterCount[4] = 2;
    sendOutputWrite(5, 0b0110);
    EXPECT_EQ(line.receive(13),
              withCrc({0x05, 0x10, 0x0C, 0x20, 0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x01}));
}

TEST_F(SerialLinkTest, HighSpeedModeReadsTheHighSpeedNodeType) {
    liveConfiguration.highSpeedNode.type = 7;  // MOD-08: 64 registers from 0x20
    openIn(kHighSpeedMode);
    sendBlockRead(1, kAnalogBlock, 5);
    EXPECT_EQ(line.receive(8), withCrc({0x01, 0x03, 0x00, 0x20, 0x00, 0x40}));
    EXPECT_EQ(blockReadResponseLength(1, kAnalogBlock), 133);
    EXPECT_EQ(blockReadResponseLength(1, kProbeBlock), 37);
}

TEST_F(SerialLinkTest, OutputWriteWaitsUntilTheCountIsKnown) {
    openIn(kNormalMode);
    ASSERT_EQ(outputRegisterCount[0], -1);
    sendOutputWrite(1, 0b1111);
    EXPECT_TRUE(line.receive(16, 100).empty());
    sendOutputWrite(0, 1);
    sendOutputWrite(32, 1);
    sendBlockRead(0, kProbeBlock, 0);
    sendDiscreteRead(32);
    EXPECT_TRUE(line.receive(16, 100).empty());
}

TEST_F(SerialLinkTest, ReadResponseChecksLengthCrcAndAddress) {
    openIn(kNormalMode);
    uint8_t buffer[256] = {};
    line.send(kDiscreteOn);
    EXPECT_EQ(readResponse(1, buffer, 7), 7);
    EXPECT_EQ(Bytes(buffer, buffer + 7), kDiscreteOn);

    Bytes swapped = kDiscreteOn;
    std::swap(swapped[5], swapped[6]);
    line.send(swapped);
    EXPECT_EQ(readResponse(1, buffer, 7), -2);

    line.send(withCrc({0x02, 0x03, 0x02, 0x00, 0x01}));
    EXPECT_EQ(readResponse(1, buffer, 7), kResponseWrong);

    // An exception answer (5 bytes) is told apart from a short one.
    line.send(withCrc({0x01, 0x83, 0x02}));
    EXPECT_EQ(readResponse(1, buffer, 7), kResponseException);
    line.send(withCrc({0x02, 0x83, 0x02}));
    EXPECT_EQ(readResponse(1, buffer, 7), kResponseWrong);
}

TEST_F(SerialLinkTest, AStaleAnswerIsDiscardedBeforeTheNextRequest) {
    openIn(kNormalMode);
    line.send(withCrc({0x01, 0x03, 0x02, 0x00, 0x00}));  // late answer to an earlier read
    usleep(20000);
    sendDiscreteRead(1);
    ASSERT_EQ(line.receive(8).size(), 8u);
    line.send(kDiscreteOn);
    uint8_t buffer[16] = {};
    EXPECT_EQ(readResponse(1, buffer, 7), 7);
    EXPECT_EQ(buffer[4], 0x01);
}

// The answer ends the exchange as soon as it is whole (no sleep on the
// clock), and the next request keeps 1.75 ms of silence after it.
TEST_F(SerialLinkTest, ExchangeEndsWithTheAnswerAndTheLineRestsBeforeTheNext) {
    openIn(kNormalMode);
    test::ScopedFakeClock fake;  // counts sleeps
    using SteadyClock = std::chrono::steady_clock;
    SteadyClock::time_point answered;
    SteadyClock::time_point nextRequest;
    std::thread node([&] {
        ASSERT_EQ(line.receive(8, 2000).size(), 8u);
        line.send(kDiscreteOn);
        answered = SteadyClock::now();
        ASSERT_EQ(line.receive(8, 2000).size(), 8u);
        nextRequest = SteadyClock::now();
        line.send(kDiscreteOn);
    });
    NodeRequest request{.kind = RequestKind::DiscreteRead, .node = 1};
    uint8_t answer[kAnswerBufferBytes] = {};
    EXPECT_EQ(serialExchange(request, answer), 7);
    EXPECT_EQ(serialExchange(request, answer), 7);
    node.join();
    EXPECT_EQ(fake.clock.sleepCalls.load(), 0);
    EXPECT_GE(nextRequest - answered, std::chrono::microseconds(1750));
}

TEST_F(SerialLinkTest, ShortResponseFailsAfterThreeReads) {
    openIn(kHighSpeedMode);
    test::ScopedFakeClock fake;  // counts the pauses between reads
    line.send(Bytes(kDiscreteOn.begin(), kDiscreteOn.begin() + 4));
    uint8_t buffer[16] = {};
    EXPECT_EQ(readResponse(1, buffer, 7), kResponseWrong);
    EXPECT_EQ(fake.clock.sleepCalls.load(), 2);  // two retries: three reads in all
}

// A clock whose pauses let the node send the next piece of its answer.
class FeedingClock final : public Clock {
public:
    FeedingClock(const test::PtyPair& line, std::vector<Bytes> pieces)
        : line_(line), pieces_(std::move(pieces)) {}
    SystemTime localTime() override { return systemClock().localTime(); }
    int64_t epochSeconds() override { return systemClock().epochSeconds(); }
    uint32_t tickCount() override { return systemClock().tickCount(); }
    void sleepMs(uint32_t) override {
        if (next_ < pieces_.size()) line_.send(pieces_[next_++]);
        usleep(2000);
    }

private:
    const test::PtyPair& line_;
    std::vector<Bytes> pieces_;
    size_t next_ = 0;
};

TEST_F(SerialLinkTest, RetriesCompleteAnAnswerThatArrivesInPieces) {
    openIn(kHighSpeedMode);
    Bytes answer = withCrc({0x01, 0x03, 0x04, 0x12, 0x34, 0x56, 0x78});
    FeedingClock feeding(line, {Bytes(answer.begin() + 3, answer.begin() + 6),
                                Bytes(answer.begin() + 6, answer.end())});
    installClock(&feeding);
    line.send(Bytes(answer.begin(), answer.begin() + 3));
    uint8_t buffer[16] = {};
    int result = readResponse(1, buffer, 9);
    installClock(nullptr);
    EXPECT_EQ(result, 9);
    EXPECT_EQ(Bytes(buffer, buffer + 9), answer);
}

TEST_F(SerialLinkTest, NothingIsReadWhileAcquisitionIsNotRunning) {
    openIn(kNormalMode);
    line.send(kDiscreteOn);
    usleep(20000);
    uint8_t buffer[16] = {};
    store(acquisitionActive, 0);
    EXPECT_EQ(readResponse(1, buffer, 7), -1);
    store(acquisitionActive, 1);
    store(acquisitionRequested, 0);
    EXPECT_EQ(readResponse(1, buffer, 7), -1);
    store(acquisitionRequested, 1);
    EXPECT_EQ(readResponse(1, buffer, 7), 7);  // the answer was left in place
}

TEST_F(SerialLinkTest, TimeoutsFollowTheOperatingMode) {
    SerialTimeouts fast = serialTimeoutsFor(kHighSpeedMode);
    EXPECT_EQ(fast.readTotalMs, 10);
    EXPECT_EQ(fast.writePerByteMs, 5);
    EXPECT_EQ(fast.writeConstantMs, 5);
    for (int mode : {kDemoMode, kNormalMode}) {
        SerialTimeouts normal = serialTimeoutsFor(mode);
        EXPECT_EQ(normal.readTotalMs, 300);
        EXPECT_EQ(normal.writePerByteMs, 100);
        EXPECT_EQ(normal.writeConstantMs, 200);
    }
    openIn(kHighSpeedMode);
    EXPECT_EQ(linkSerialPort().timeouts().readTotalMs, 10);
    closeLink();
    openIn(kNormalMode);
    EXPECT_EQ(linkSerialPort().timeouts().readTotalMs, 300);
}

long msToReadFromASilentLine() {
    uint8_t buffer[256];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readResponse(1, buffer, 133), -1);
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

TEST_F(SerialLinkTest, SilentLineGivesUpWithinTheReadTimeouts) {
    openIn(kNormalMode);
    long normal = msToReadFromASilentLine();
    EXPECT_GE(normal, 300);   // waits at least one full read timeout
    EXPECT_LT(normal, 3000);  // three reads of 300 ms, with a wide margin
    closeLink();
    openIn(kHighSpeedMode);
    EXPECT_LT(msToReadFromASilentLine(), 1000);
}

TEST_F(SerialLinkTest, MissingDeviceFailsToOpenAndReadsFail) {
    ASSERT_TRUE(test::linkComTo(home.path(), 1, "/dev/nonexistent-kvt-port"));
    liveConfiguration.commPort = 1;
    EXPECT_EQ(openLink(), -1);
    EXPECT_FALSE(linkSerialPort().isOpen());
    uint8_t buffer[16];
    EXPECT_EQ(readResponse(1, buffer, 7), -1);
    EXPECT_EQ(closeLink(), 0);
}

TEST_F(SerialLinkTest, LinkCanBeClosedAndReopened) {
    openIn(kNormalMode);
    EXPECT_EQ(closeLink(), 0);
    EXPECT_FALSE(linkSerialPort().isOpen());
    EXPECT_EQ(openLink(), 0);
    line.send(kDiscreteOn);
    uint8_t buffer[16] = {};
    EXPECT_EQ(readResponse(1, buffer, 7), 7);
}

TEST_F(SerialLinkTest, TcpPortTouchesNoSerialDeviceAndFillsTheMailbox) {
    liveConfiguration.commPort = kCommPortTcp;
    EXPECT_EQ(openLink(), 0);
    EXPECT_FALSE(linkSerialPort().isOpen());

    std::fill(std::begin(requestMailbox.sendBuffer), std::end(requestMailbox.sendBuffer), 0xAA);
    sendBlockRead(1, kProbeBlock, 0);
    ASSERT_EQ(requestMailbox.sendLength.load(), 12);
    EXPECT_EQ(Bytes(requestMailbox.sendBuffer, requestMailbox.sendBuffer + 12),
              (Bytes{0, 0, 0, 0, 0, 6, 0x01, 0x03, 0x00, 0x00, 0x00, 0x10}));
    EXPECT_EQ(Bytes(requestMailbox.sendBuffer + 12, requestMailbox.sendBuffer + 256),
              Bytes(244, 0));

    outputRegisterCount[6] = 4;
    sendOutputWrite(7, 0b1001);
    ASSERT_EQ(requestMailbox.sendLength.load(), 21);
    EXPECT_EQ(Bytes(requestMailbox.sendBuffer, requestMailbox.sendBuffer + 21),
              (Bytes{0, 0, 0, 0, 0, 15, 0x07, 0x10, 0x0C, 0x20, 0x00, 0x04, 0x08, 0, 1, 0, 0, 0,
                     0, 0, 1}));
    sendDiscreteRead(2);
    EXPECT_EQ(requestMailbox.sendLength.load(), 12);
    EXPECT_EQ(requestMailbox.sendBuffer[12], 0);  // the longer write was cleared away
    sendOutputCountRead(3);
    EXPECT_EQ(requestMailbox.sendBuffer[8], 0x25);
    EXPECT_EQ(requestMailbox.sendBuffer[9], 0x98);

    // Nothing to send must not leave the previous request behind.
    sendOutputWrite(8, 0b1);  // output count unknown
    EXPECT_EQ(requestMailbox.sendLength.load(), 0);
    EXPECT_EQ(requestMailbox.sendBuffer[6], 0);
    sendBlockRead(32, kAnalogBlock, 0);
    EXPECT_EQ(requestMailbox.sendLength.load(), 0);

    EXPECT_TRUE(line.receive(8, 100).empty());  // nothing reached the serial line
    EXPECT_EQ(closeLink(), 0);
    clearRequestMailbox();
}

}  // namespace
}  // namespace kvt
