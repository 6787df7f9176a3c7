#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "AllocationCounter.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/RequestMailbox.h"
#include "acquisition/SerialOpenReport.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "journal/Journal.h"
#include "support/CapturedStderr.h"
#include "support/LinkTestState.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// Acquisition runs for months: an exchange must not touch the heap.
class LinkAllocationTest : public ::testing::Test, protected test::RunningLinkState {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        ASSERT_TRUE(test::linkCom1To(home.path(), line.slavePath()));
        outputRegisterCount[0] = 4;
    }
    test::TempHome home;
    test::PtyPair line;
};

TEST_F(LinkAllocationTest, TheCounterSeesAllocations) {
    long before = test::allocationsOnThisThread();
    auto* block = new std::vector<int>(3);
    delete block;
    EXPECT_GT(test::allocationsOnThisThread(), before);
}

TEST_F(LinkAllocationTest, SerialExchangesAllocateNothing) {
    ASSERT_EQ(openLink(), 0);
    std::vector<uint8_t> answer = test::withCrc({0x01, 0x03, 0x02, 0x00, 0x01});
    uint8_t request[64];
    uint8_t buffer[256];
    long before = test::allocationsOnThisThread();
    for (int exchange = 0; exchange < 50; ++exchange) {
        sendBlockRead(1, kAnalogBlock, exchange % 34);
        sendDiscreteRead(1);
        sendOutputWrite(1, exchange & 0xF);
        ssize_t drained = read(line.master(), request, sizeof request);
        (void)drained;
        ASSERT_EQ(write(line.master(), answer.data(), answer.size()), 7);
        ASSERT_EQ(readResponse(1, buffer, 7), 7);
    }
    closeLink();
    ASSERT_EQ(openLink(), 0);
    EXPECT_EQ(test::allocationsOnThisThread(), before);
}

TEST_F(LinkAllocationTest, PortsThatDoNotOpenAllocateNothingTellingWhy) {
    ASSERT_TRUE(test::linkComTo(home.path(), 1, "/dev/kvt-unplugged"));
    ASSERT_TRUE(test::linkComTo(home.path(), 2, line.slavePath()));
    SerialPort holder;  // COM3 is in use by another program
    ASSERT_EQ(holder.open(line.slavePath().c_str()), 0);
    forgetSerialOpenFailures();
    discardJournal();
    test::CapturedStderr captured;
    long before = test::allocationsOnThisThread();
    for (int attempt = 0; attempt < 20; ++attempt) {
        for (int commPort : {1, 2}) {
            liveConfiguration.commPort = commPort;
            openLink();
            closeLink();
        }
    }
    EXPECT_EQ(test::allocationsOnThisThread(), before);
    flushJournal();
    EXPECT_EQ(test::linesContaining(captured.text(), "<3>COM"), 2);
    forgetSerialOpenFailures();
}

TEST_F(LinkAllocationTest, TcpFormsAllocateNothing) {
    liveConfiguration.commPort = kCommPortTcp;
    long before = test::allocationsOnThisThread();
    for (int exchange = 0; exchange < 50; ++exchange) {
        openLink();
        sendBlockRead(2, kProbeBlock, 0);
        sendOutputCountRead(2);
        sendOutputWrite(1, exchange & 0xF);
        closeLink();
    }
    EXPECT_EQ(test::allocationsOnThisThread(), before);
    EXPECT_EQ(requestMailbox.sendLength.load(), 21);
}

}  // namespace
}  // namespace kvt
