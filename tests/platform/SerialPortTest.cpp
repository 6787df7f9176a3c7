#include <fcntl.h>
#include <stdlib.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "platform/SerialPort.h"
#include "support/PtyPair.h"

namespace kvt {
namespace {

using Bytes = std::vector<uint8_t>;

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        port.setTimeouts({50, 5, 5});
        ASSERT_EQ(port.open(line.slavePath().c_str()), 0);
    }
    test::PtyPair line;
    SerialPort port;
};

TEST_F(SerialPortTest, PseudoTerminalIsAcceptedAndCarriesEveryByteValue) {
    Bytes all(256);
    for (int value = 0; value < 256; ++value) all[value] = static_cast<uint8_t>(value);
    EXPECT_EQ(port.write(all.data(), 256), 256);
    EXPECT_EQ(line.receive(256, 1000), all);
    line.send(all);
    Bytes back(256);
    port.setTimeouts({1000, 5, 5});
    EXPECT_EQ(port.read(back.data(), 256), 256);
    EXPECT_EQ(back, all);  // no CR/LF translation, no flow control characters eaten
}

TEST_F(SerialPortTest, ReadReturnsWhatArrivedByTheDeadline) {
    line.send({1, 2, 3});
    uint8_t buffer[16] = {};
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.read(buffer, 10), 3);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(45));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
    EXPECT_EQ(port.read(buffer, 10), 0);
}

TEST_F(SerialPortTest, OpeningDiscardsWhatWasWaiting) {
    port.close();
    line.send({9, 9, 9});
    usleep(20000);
    ASSERT_EQ(port.open(line.slavePath().c_str()), 0);
    uint8_t buffer[8];
    EXPECT_EQ(port.read(buffer, 3), 0);
}

TEST_F(SerialPortTest, SecondOpenerIsRefusedUntilTheFirstCloses) {
    SerialPort other;
    EXPECT_EQ(other.open(line.slavePath().c_str()), -1);
    port.close();
    EXPECT_EQ(other.open(line.slavePath().c_str()), 0);
}

TEST_F(SerialPortTest, LineIsRawEightBitsWithoutFlowControl) {
    termios settings{};
    // Read the settings through a second descriptor on the same terminal.
    int descriptor = ::open(line.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(tcgetattr(descriptor, &settings), 0);
    EXPECT_TRUE(isPseudoTerminal(descriptor));
    close(descriptor);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(settings.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | INPCK | ICRNL), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B38400));
}

// A terminal whose other side has gone polls readable and reads nothing:
// a silent line, given up at the deadline rather than read in a loop.
TEST(SerialPortHangUp, ReadEndsAtTheDeadline) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    SerialPort port;
    port.setTimeouts({50, 5, 5});
    ASSERT_EQ(port.open(ptsname(master)), 0);
    close(master);
    uint8_t buffer[8] = {};
    EXPECT_EQ(port.read(buffer, 8), 0);
}

TEST(SerialPortOpen, NonTerminalsAndMissingDevicesAreRefused) {
    SerialPort port;
    EXPECT_EQ(port.open("/dev/nonexistent-kvt-port"), -1);
    EXPECT_EQ(port.open("/dev/null"), -1);
    EXPECT_FALSE(port.isOpen());
    uint8_t buffer[4] = {};
    EXPECT_EQ(port.read(buffer, 4), -1);
    EXPECT_EQ(port.write(buffer, 4), -1);
}

}  // namespace
}  // namespace kvt
