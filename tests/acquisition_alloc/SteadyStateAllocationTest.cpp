// Counts heap allocations made by the acquisition thread once a run is
// going. This program replaces the global allocation functions, which is
// why it is separate from the other acquisition tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AcquisitionThread.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace {

thread_local bool countingThread = false;
std::atomic<bool> countingArmed{false};
std::atomic<long> countedAllocations{0};

void* allocate(std::size_t size) {
    if (countingThread && countingArmed.load(std::memory_order_relaxed)) {
        countedAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    if (countingThread && countingArmed.load(std::memory_order_relaxed)) {
        countedAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    std::size_t align = static_cast<std::size_t>(alignment);
    void* block = std::aligned_alloc(align, (size + align - 1) / align * align);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

namespace kvt {
namespace {

TEST(SteadyStateAllocation, TheCounterSeesAllocationsOfACountingThread) {
    countedAllocations = 0;
    countingArmed = true;
    std::thread allocating([] {
        countingThread = true;
        std::string text(200, 'x');
        EXPECT_EQ(text.size(), 200u);
    });
    allocating.join();
    countingArmed = false;
    EXPECT_GT(countedAllocations.load(), 0);
}

TEST(SteadyStateAllocation, DemoRunAllocatesNothingOnTheAcquisitionThread) {
    test::TempHome home;
    test::ScopedFakeClock fake;
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    fake.clock.setLocal(2026, 6, 10, 9, 0, 0, 300);
    makeDataFolder();
    discardPendingAlarmHistory();
    clearAcquisitionRing();
    for (std::atomic<int>* flag : {&exitRequested, &acquisitionActive, &valuesValid})
        store(*flag, 0);
    // Pen 1 of group 1 crosses its setpoint all the time, so the run also
    // writes alarm history records.
    PenSettings& pen = liveConfiguration.pen(1, 0);
    pen.inputLow = 0.0;
    pen.inputHigh = 100.0;
    pen.scaleLow = 0.0;
    pen.scaleHigh = 100.0;
    pen.alarmLimitHigh = 1.95;
    liveConfiguration.group(2).storingCycle = kCycle1min;
    liveConfiguration.pen(3, 0).isDiscrete = 1;
    liveConfiguration.pen(3, 0).discreteAlarm[1] = 1;

    countedAllocations = 0;
    store(acquisitionRequested, 1);
    std::thread acquisition([] {
        countingThread = true;
        acquisitionThreadMain();
    });
    while (load(valuesValid) == 0) std::this_thread::yield();
    countingArmed = true;

    // Act as the recording scheduler until enough records went by.
    long recordsRead = 0;
    while (recordsRead < 4000) {
        uint32_t read = acquisitionRing.readIndex.load(std::memory_order_relaxed);
        uint32_t write = acquisitionRing.writeIndex.load(std::memory_order_acquire);
        recordsRead += (write + kAcquisitionRingSize - read) % kAcquisitionRingSize;
        acquisitionRing.readIndex.store(write, std::memory_order_release);
        std::this_thread::yield();
    }
    store(acquisitionRequested, 0);
    while (load(acquisitionActive) == 1) std::this_thread::yield();
    store(exitRequested, 1);
    acquisition.join();
    countingArmed = false;
    store(exitRequested, 0);

    EXPECT_EQ(countedAllocations.load(), 0);
    EXPECT_GT(test::readFile(alarmHistoryPath()).size(), 100u * kAlarmRecordLength);
}

}  // namespace
}  // namespace kvt
