// The settings that tools/nodesim/try-with-simulator.sh writes must make the
// recorder poll the simulator out of the box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "acquisition/CurrentValues.h"
#include "acquisition/RequestMailbox.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "recording/RecordingWriter.h"
#include "support/Eventually.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::eventually;

// Bytes in the day files of a group over all day folders.
size_t recordedBytes(int group) {
    size_t total = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder(), ignored)) {
        if (!entry.is_directory()) continue;
        std::string file = entry.path().string() + "/GR" + std::to_string(group) + ".CSV";
        total += test::readFile(file).size();
    }
    return total;
}

int writeSimulatorSettings(const std::string& mode) {
    std::string command = std::string(KVT_BINARY_DIR) + "/tools/simsettings/kvt-simsettings " +
                          mode + " >/dev/null";
    return std::system(command.c_str());
}

TEST(SimulatorSettings, RefusesAnUnknownLink) {
    test::TempHome home;
    EXPECT_NE(writeSimulatorSettings("com7"), 0);
    EXPECT_FALSE(test::fileExists(settingsFilePath()));
}

TEST(SimulatorSettings, TcpSettingsPointAtTheLoopbackGateway) {
    test::TempHome home;
    ASSERT_EQ(writeSimulatorSettings("tcp"), 0);
    loadSettings();
    EXPECT_EQ(liveConfiguration.commPort, kCommPortTcp);
    EXPECT_EQ(liveConfiguration.ipAddress[0], 127);
    EXPECT_EQ(liveConfiguration.ipAddress[3], 1);
}

// The fault soak's two phases: the TCP settings with a half-second group
// reading both nodes, and demonstration mode recording every group.
TEST(SimulatorSettings, SoakAndDemoSettingsRecordEveryHalfSecond) {
    test::TempHome home;
    ASSERT_EQ(writeSimulatorSettings("soak"), 0);
    loadSettings();
    EXPECT_EQ(liveConfiguration.operatingMode, kNormalMode);
    EXPECT_EQ(liveConfiguration.commPort, kCommPortTcp);
    EXPECT_EQ(liveConfiguration.group(3).storingCycle, kCycleHalfSecond);
    EXPECT_EQ(liveConfiguration.group(3).storingMode, kNormal);
    EXPECT_EQ(liveConfiguration.pen(3, 0).node, 1);
    EXPECT_EQ(liveConfiguration.pen(3, 11).node, 2);
    EXPECT_EQ(liveConfiguration.pen(3, 11).enabled, 1);
    EXPECT_EQ(liveConfiguration.group(1).storingCycle, kCycle1s);

    ASSERT_EQ(writeSimulatorSettings("demo-all"), 0);
    loadSettings();
    EXPECT_EQ(liveConfiguration.operatingMode, kDemoMode);
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        EXPECT_EQ(liveConfiguration.group(group).storingCycle, kCycleHalfSecond) << group;
        EXPECT_EQ(liveConfiguration.group(group).storingMode, kNormal) << group;
        EXPECT_EQ(liveConfiguration.pen(group, 11).enabled, 1) << group;
    }
}

TEST(SimulatorSettings, SerialSettingsPollTheSimulatedMeters) {
    test::TempHome home;
    ASSERT_EQ(writeSimulatorSettings("serial"), 0);
    test::NodeSimulatorProcess simulator;
    ASSERT_TRUE(simulator.start({"--link", test::comLinkPath(home.path(), 0), "--nodes", "1,2"}))
        << simulator.output();
    loadSettings();
    ASSERT_EQ(liveConfiguration.operatingMode, kNormalMode);
    initialiseRuntimeState();
    clearRequestMailbox();

    startWorkerThreads();
    store(acquisitionRequested, 1);
    // Phase current I1 of both meters is about 120 A (120,000 mA).
    bool polled = eventually(
        [] {
            double first = currentValue(1, 0);
            double second = currentValue(2, 0);
            return first > 90000 && first < 150000 && second > 90000 && second < 150000;
        },
        8000);
    bool recorded = eventually([] { return recordedBytes(1) > 512 && recordedBytes(2) > 512; },
                               8000);
    bool outputsWritten = simulator.waitForOutput("write node=2", 8000);
    store(acquisitionRequested, 0);
    eventually([] { return load(acquisitionActive) == 0; }, 3000);
    stopWorkerThreads();
    store(exitRequested, 0);
    simulator.stop();

    EXPECT_TRUE(polled) << currentValue(1, 0) << " " << currentValue(2, 0);
    EXPECT_TRUE(recorded);
    EXPECT_TRUE(outputsWritten) << simulator.output();
    EXPECT_TRUE(currentValue(1, 11) == 0.0 || currentValue(1, 11) == 1.0);
    initialiseRuntimeState();
}

}  // namespace
}  // namespace kvt
