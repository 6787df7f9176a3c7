// Counts heap allocations made by the acquisition thread once a run is going.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "../acquisition/AcquisitionFixture.h"
#include "AllocationCounter.h"
#include "core/PublishedConfiguration.h"
#include "publish/Publisher.h"
#include "support/Eventually.h"
#include "support/MqttBroker.h"

namespace kvt {
namespace {

void allocateOnce() {
    int* volatile memory = new int(1);
    delete memory;
}

TEST(AllocationCounter, CountsOnlyTheMarkedThreads) {
    test::resetCountedAllocations();
    long ownBefore = test::allocationsOnThisThread();
    allocateOnce();
    EXPECT_EQ(test::allocationsOnThisThread(), ownBefore + 1);
    EXPECT_EQ(test::countedAllocations(), 0);
    std::thread counted([] {
        test::countAllocationsOnThisThread(true);
        allocateOnce();
    });
    counted.join();
    EXPECT_EQ(test::countedAllocations(), 1);
}

using SteadyStateAllocation = test::AcquisitionFixture;

TEST_F(SteadyStateAllocation, DemoRunAllocatesNothingOnTheAcquisitionThread) {
    fake.clock.setLocal(2026, 6, 10, 9, 0, 0, 300);
    // Pen 1 of group 1 crosses its setpoint all the time, so the run also
    // writes alarm history records.
    penCrossingItsSetpoint();
    liveConfiguration.group(2).storingCycle = kCycle1min;
    liveConfiguration.pen(3, 0).isDiscrete = 1;
    liveConfiguration.pen(3, 0).discreteAlarm[1] = 1;
    publishLiveConfiguration();
    // Publishing on: every alarm event goes into the publisher's hand-over.
    test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " +
                                                std::to_string(test::unusedPort()) + "\n");
    startPublisher();

    store(acquisitionRequested, 1);
    std::thread acquisition([] {
        test::countAllocationsOnThisThread(true);
        acquisitionThreadMain();
    });
    while (load(valuesValid) == 0) std::this_thread::yield();
    test::resetCountedAllocations();  // from here on the run is going

    // Act as the recording scheduler until enough records went by, and as
    // the window committing a settings change now and then, which the
    // acquisition thread takes over at the start of its next pass.
    long recordsRead = 0;
    long nextCommitAt = 0;
    while (recordsRead < 4000) {
        uint32_t read = acquisitionRing.readIndex.load(std::memory_order_relaxed);
        uint32_t write = acquisitionRing.writeIndex.load(std::memory_order_acquire);
        recordsRead += (write + kAcquisitionRingSize - read) % kAcquisitionRingSize;
        acquisitionRing.readIndex.store(write, std::memory_order_release);
        if (recordsRead >= nextCommitAt) {
            liveConfiguration.pen(1, 1).decimalPlaces = static_cast<int32_t>(nextCommitAt % 4);
            publishLiveConfiguration();
            nextCommitAt += 250;
        }
        std::this_thread::yield();
    }
    store(acquisitionRequested, 0);
    while (load(acquisitionActive) == 1) std::this_thread::yield();
    store(exitRequested, 1);
    acquisition.join();
    store(exitRequested, 0);

    EXPECT_EQ(test::countedAllocations(), 0);
    EXPECT_GT(test::readFile(alarmHistoryPath()).size(), 100u * kAlarmRecordLength);
    EXPECT_TRUE(test::eventually([] { return publisherStatus().spooledMessages > 100; }));
    stopPublisher();
}

}  // namespace
}  // namespace kvt
