// Taking over a published configuration must not touch the heap: worker
// threads do it at the start of their passes for months.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "core/PublishedConfiguration.h"
#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

ConfigurationSnapshot workerCopy;

TEST(ConfigurationSnapshotAllocation, PublishingAndRefreshingAllocateNothing) {
    ThreadConfigurationScope scope(workerCopy);
    long before = test::allocationsOnThisThread();
    for (int change = 0; change < 20; ++change) {
        liveConfiguration.storagePeriodDays = 100 + change;
        publishLiveConfiguration();
        refreshThreadConfiguration();
        ASSERT_EQ(threadConfiguration().storagePeriodDays, 100 + change);
        EXPECT_FALSE(workerCopy.refresh());  // nothing newer
    }
    EXPECT_EQ(test::allocationsOnThisThread(), before);
}

}  // namespace
}  // namespace kvt
