// The hand-over of the live configuration from the window thread to the
// worker threads' snapshots.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "core/PublishedConfiguration.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

// The marker byte of a publication's generation (never 0, the byte of an
// empty record).
uint8_t markerOf(uint32_t generation) { return static_cast<uint8_t>(generation % 251 + 1); }

// Fills every byte of the live configuration with `marker` and publishes it.
void publishFilledWith(uint8_t marker) {
    std::memset(static_cast<void*>(&liveConfiguration), marker, sizeof liveConfiguration);
    publishLiveConfiguration();
}

// The byte every byte of the record holds, or -1 when they differ, that is
// when the record mixes two publications.
int uniformByte(const ConfigurationRecord& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    for (size_t index = 1; index < sizeof record; ++index) {
        if (bytes[index] != bytes[0]) return -1;
    }
    return bytes[0];
}

class PublishedConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override { *saved_ = liveConfiguration; }
    void TearDown() override {
        liveConfiguration = *saved_;
        publishLiveConfiguration();
    }

    std::unique_ptr<ConfigurationRecord> saved_ = std::make_unique<ConfigurationRecord>();
};

TEST_F(PublishedConfigurationTest, ASnapshotTakesOnlyPublishedChangesAndOnlyTheNewest) {
    auto snapshot = std::make_unique<ConfigurationSnapshot>();
    publishFilledWith(1);
    EXPECT_TRUE(snapshot->refresh());
    EXPECT_EQ(uniformByte(snapshot->record()), 1);
    EXPECT_EQ(snapshot->generation(), publishedConfigurationGeneration());
    EXPECT_FALSE(snapshot->refresh());  // nothing newer

    std::memset(static_cast<void*>(&liveConfiguration), 2, sizeof liveConfiguration);
    EXPECT_FALSE(snapshot->refresh());  // changed, but not published
    EXPECT_EQ(uniformByte(snapshot->record()), 1);

    // Three publications in a row reuse both slots; the newest counts.
    publishFilledWith(3);
    publishFilledWith(4);
    publishFilledWith(5);
    EXPECT_TRUE(snapshot->refresh());
    EXPECT_EQ(uniformByte(snapshot->record()), 5);
}

TEST_F(PublishedConfigurationTest, AThreadReadsItsSnapshotUntilItRefreshesAndTheLiveRecordWithout) {
    publishFilledWith(6);
    EXPECT_EQ(&threadConfiguration(), &liveConfiguration);
    refreshThreadConfiguration();  // no snapshot here: nothing to do
    EXPECT_EQ(&ownThreadConfiguration(), &liveConfiguration);

    auto snapshot = std::make_unique<ConfigurationSnapshot>();
    {
        ThreadConfigurationScope scope(*snapshot);
        EXPECT_EQ(&threadConfiguration(), &snapshot->record());
        EXPECT_EQ(uniformByte(threadConfiguration()), 6);  // brought up to date at once

        publishFilledWith(7);
        EXPECT_EQ(uniformByte(threadConfiguration()), 6);  // not before the next refresh
        refreshThreadConfiguration();
        EXPECT_EQ(uniformByte(threadConfiguration()), 7);

        // The owner's own change stays in its copy until a newer publication.
        ownThreadConfiguration().storagePeriodDays = 30;
        refreshThreadConfiguration();
        EXPECT_EQ(threadConfiguration().storagePeriodDays, 30);
        EXPECT_NE(liveConfiguration.storagePeriodDays, 30);
        publishFilledWith(8);
        refreshThreadConfiguration();
        EXPECT_EQ(uniformByte(threadConfiguration()), 8);
    }
    EXPECT_EQ(&threadConfiguration(), &liveConfiguration);
}

// Workers refresh as fast as they can while the window publishes: every
// copy is one whole publication, the one its generation names, and no
// worker ever goes back to an older one.
TEST_F(PublishedConfigurationTest, WorkersNeverSeeAMixOfTwoPublications) {
    constexpr int kPublications = 1000;
    constexpr int kWorkers = 3;
    constexpr long kCopies = 500;
    std::atomic<bool> publishing{true};
    std::atomic<int> tornCopies{0};
    std::atomic<int> wrongMarkers{0};
    std::atomic<int> stepsBack{0};
    std::atomic<long> copiesTaken{0};

    auto worker = [&] {
        auto snapshot = std::make_unique<ConfigurationSnapshot>();
        uint32_t previous = 0;
        while (publishing.load()) {
            if (!snapshot->refresh()) continue;
            copiesTaken.fetch_add(1);
            int marker = uniformByte(snapshot->record());
            if (marker < 0) tornCopies.fetch_add(1);
            if (marker >= 0 && marker != markerOf(snapshot->generation())) {
                wrongMarkers.fetch_add(1);
            }
            if (snapshot->generation() < previous) stepsBack.fetch_add(1);
            previous = snapshot->generation();
        }
    };
    publishFilledWith(markerOf(publishedConfigurationGeneration() + 1));
    std::vector<std::thread> workers;
    for (int index = 0; index < kWorkers; ++index) workers.emplace_back(worker);
    // Until the workers have taken plenty of copies while it went on.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int publication = 0; publication < kPublications || copiesTaken.load() < kCopies;
         ++publication) {
        publishFilledWith(markerOf(publishedConfigurationGeneration() + 1));
        if (publication % 16 == 0) std::this_thread::yield();
        if (std::chrono::steady_clock::now() > deadline) break;
    }
    publishing.store(false);
    for (std::thread& thread : workers) thread.join();

    EXPECT_EQ(tornCopies.load(), 0);
    EXPECT_EQ(wrongMarkers.load(), 0);
    EXPECT_EQ(stepsBack.load(), 0);
    EXPECT_GE(copiesTaken.load(), kCopies);
}

}  // namespace
}  // namespace kvt
