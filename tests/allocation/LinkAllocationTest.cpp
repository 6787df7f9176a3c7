#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "AllocationCounter.h"
#include "acquisition/ModbusLink.h"
#include "acquisition/RequestMailbox.h"
#include "core/ConfigurationRecord.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "support/PtyPair.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// Acquisition runs for months: an exchange must not touch the heap.
class LinkAllocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = liveConfiguration;
        ASSERT_TRUE(line.ok());
        std::filesystem::create_directories(home.path() + "/.kvt936p");
        std::filesystem::create_symlink(line.slavePath(), home.path() + "/.kvt936p/com1");
        liveConfiguration.commPort = 0;
        liveConfiguration.operatingMode = kNormalMode;
        for (int& type : liveConfiguration.nodeType) type = kMod15Type;
        store(acquisitionRequested, 1);
        store(acquisitionActive, 1);
        outputRegisterCount[0] = 4;
    }
    void TearDown() override {
        closeLink();
        store(acquisitionRequested, 0);
        store(acquisitionActive, 0);
        forgetOutputRegisterCounts();
        clearRequestMailbox();
        liveConfiguration = saved_;
    }
    test::TempHome home;
    test::PtyPair line;
    ConfigurationRecord saved_;
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
