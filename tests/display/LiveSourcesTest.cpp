#include <atomic>
#include <chrono>
#include <thread>

#include "TrendFixture.h"
#include "display/LiveSources.h"

namespace kvt {
namespace {

class LiveSourcesTest : public test::TrendTest {};

// The scheduler keeps writing while the window copies: every copy must be
// a run of consecutive samples, newest first, with no sample of a later
// lap in the place of an older one.
TEST_F(LiveSourcesTest, CopiesWhileTheRingIsWrittenAreConsecutiveNewestFirst) {
    static LiveSamples copy;
    constexpr int kSamples = 200000;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::thread scheduler([&] {
        while (!started.load()) std::this_thread::yield();
        for (int index = 0; index < kSamples; ++index) {
            SampleData sample = test::sampleAt(SystemTime{}, static_cast<double>(index));
            if (index % 1000 != 0) sample.values[1] = kNoData;
            test::appendRingSample(3, sample);
            // Bursts of whole laps, so that copies are overtaken more than
            // once now and then, as on a loaded machine.
            if (index % 4000 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done.store(true);
    });
    int copies = 0;
    started.store(true);
    while (!done.load()) {
        if (copies % 2 == 0) {
            copyLiveSamples(3, false, copy);
        } else {
            copyLiveSamples(3, false, copy, 800);
            copyLiveSamplesOn(3, false, copy, 1u << 1);
        }
        ++copies;
        for (int k = 1; k < copy.count; ++k) {
            ASSERT_EQ(copy.samples[k].values[0], copy.samples[k - 1].values[0] - 1.0)
                << "copy " << copies << " sample " << k << " of " << copy.count;
        }
    }
    scheduler.join();
    copyLiveSamples(3, false, copy);
    EXPECT_EQ(copy.count, kRingSlotCount);
    EXPECT_EQ(copy.samples[0].values[0], kSamples - 1.0);
    // Copying on stops at the first sample that gives pen 1 a value.
    copyLiveSamples(3, false, copy, 800);
    copyLiveSamplesOn(3, false, copy, 1u << 1);
    EXPECT_EQ(copy.count, 1000);
    EXPECT_GT(copies, 10);
}

TEST_F(LiveSourcesTest, NewestSampleOnlyOnceTheRingHoldsOne) {
    SampleData newest;
    EXPECT_FALSE(newestLiveSample(2, newest));
    EXPECT_FALSE(newestLiveSample(11, newest));
    test::appendRingSample(2, test::sampleAt(kNewest, 7.0));
    ASSERT_TRUE(newestLiveSample(2, newest));
    EXPECT_EQ(newest.values[11], 7.0);
}

}  // namespace
}  // namespace kvt
