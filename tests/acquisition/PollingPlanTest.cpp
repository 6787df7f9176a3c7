#include <gtest/gtest.h>

#include "acquisition/PollingPlan.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/DeviceTables.h"

namespace kvt {
namespace {

class PollingPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(config, 1, {2026, 1, 1});
        // Start from nothing: no pen enabled, node 1 enabled (default).
        for (auto& group : config.pens) {
            for (PenSettings& pen : group) pen.enabled = 0;
        }
    }
    PenSettings& pen(int group, int index, int node, int channel, bool discrete = false) {
        PenSettings& settings = config.pen(group, index);
        settings.enabled = 1;
        settings.node = node;
        settings.channel = channel;
        settings.isDiscrete = discrete ? 1 : 0;
        return settings;
    }
    bool plan() { return buildPollingPlan(config, result); }

    ConfigurationRecord config{};
    PollingPlan result;
};

TEST_F(PollingPlanTest, NothingEnabledPlansNothing) {
    EXPECT_FALSE(plan());
    for (int node = 1; node <= kNodeCount; ++node) EXPECT_FALSE(result.hasNode(node));
}

TEST_F(PollingPlanTest, AnalogAndDiscretePensFlagTheirNode) {
    config.nodeEnabled[4] = 1;
    pen(1, 0, 1, 5);
    pen(3, 11, 5, 1, true);
    ASSERT_TRUE(plan());
    EXPECT_TRUE(result.analog[0]);
    EXPECT_FALSE(result.discrete[0]);
    EXPECT_FALSE(result.analog[4]);
    EXPECT_TRUE(result.discrete[4]);
}

TEST_F(PollingPlanTest, PensThatCannotBeReadAreSkipped) {
    pen(1, 0, 0, 1);          // node 0
    pen(1, 1, 32, 1);         // node 32
    pen(1, 2, 2, 1);          // node 2 is not enabled
    pen(1, 3, 1, 2143);       // above the highest MOD-15 register
    pen(1, 4, 1, 2, true);    // MOD-15 has discrete channel 1 only
    pen(1, 5, 1, 0);          // no channel
    EXPECT_FALSE(plan());
    config.pen(1, 3).channel = 2142;
    ASSERT_TRUE(plan());
    EXPECT_TRUE(result.analog[0]);
    EXPECT_FALSE(result.discrete[0]);
}

TEST_F(PollingPlanTest, DisabledPenAndHighSpeedGroupAreIgnored) {
    pen(1, 0, 1, 1).enabled = 0;
    pen(0, 0, 1, 1);  // group 0 is not polled in normal mode
    EXPECT_FALSE(plan());
}

TEST_F(PollingPlanTest, DiscreteLimitFollowsTheNodeType) {
    config.nodeType[0] = 12;  // MOD-13: discrete channels up to 1024
    pen(2, 0, 1, 1024, true);
    ASSERT_TRUE(plan());
    EXPECT_TRUE(result.discrete[0]);
    config.pen(2, 0).channel = 1025;
    EXPECT_FALSE(plan());
}

TEST_F(PollingPlanTest, TypeWithoutAnalogRegistersHasNoAnalogPens) {
    config.nodeType[0] = 13;  // MOD-14
    pen(1, 0, 1, 1);
    EXPECT_FALSE(plan());
}

TEST_F(PollingPlanTest, BlocksWithPolledPensOnly) {
    pen(1, 0, 1, 64);
    pen(1, 1, 1, 2142);
    pen(1, 2, 1, 2143);
    pen(1, 3, 1, 129, true);  // discrete pens need no block
    pen(2, 0, 2, 65);         // another node
    EXPECT_TRUE(blockHasPolledPens(config, 1, 0));
    EXPECT_FALSE(blockHasPolledPens(config, 1, 1));
    EXPECT_FALSE(blockHasPolledPens(config, 1, 2));
    EXPECT_TRUE(blockHasPolledPens(config, 1, 33));
    config.pen(1, 1).enabled = 0;
    EXPECT_FALSE(blockHasPolledPens(config, 1, 33));  // 2143 alone is never read
}

}  // namespace
}  // namespace kvt
