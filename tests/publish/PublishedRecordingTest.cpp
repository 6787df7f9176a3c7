// The recorder in demonstration mode with publishing on: every row of
// GR1.CSV and every alarm history record reach a real broker once, in
// order, with the day file's values.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "publish/Publisher.h"
#include "support/Eventually.h"
#include "support/MqttBroker.h"
#include "support/RecordedFiles.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

void configureDemoGroupOne() {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kDemoMode;
    liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
    liveConfiguration.group(1).storingMode = kNormal;
    for (PenSettings& pen : liveConfiguration.pens[1]) pen.enabled = 1;
    liveConfiguration.pen(1, 1).enabled = 0;
    PenSettings& input = liveConfiguration.pen(1, 11);  // on for 3 s, off for 3 s
    input.isDiscrete = 1;
    input.discreteAlarm[1] = 1;
    input.discreteAlarmDelay[1] = 0;
}

// The "value" texts of a row message, in order.
std::vector<std::string> valuesOf(const std::string& message) {
    std::vector<std::string> values;
    for (size_t at = message.find("\"value\": "); at != std::string::npos;
         at = message.find("\"value\": ", at + 1)) {
        size_t start = at + 9;
        values.push_back(message.substr(start, message.find('}', start) - start));
    }
    return values;
}

std::string trimmed(const std::string& field) {
    size_t first = field.find_first_not_of(' ');
    return first == std::string::npos ? "null" : field.substr(first, field.find_last_not_of(' ') - first + 1);
}

TEST(PublishedRecording, EveryRowAndAlarmOfTheRunReachesTheBrokerOnceInOrder) {
    test::TempHome home;
    test::MqttBroker broker;
    ASSERT_TRUE(broker.start());
    test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " + std::to_string(broker.port()) +
                                                "\ntopic_prefix = rec\n");
    test::MqttSubscriber subscriber(broker.port(), "rec/#");
    ASSERT_TRUE(test::eventually([&] { return subscriber.connected(); }, 10000));
    makeDataFolder();
    languageFlag = 1;
    configureDemoGroupOne();
    initialiseRuntimeState();
    startWorkerThreads();
    store(acquisitionRequested, 1);
    std::this_thread::sleep_for(std::chrono::seconds(7));
    store(acquisitionRequested, 0);
    stopWorkerThreads();
    store(exitRequested, 0);

    test::RecordedDayFile day = test::fullestGroupOneDayFile(home.dataFolder());
    std::string file = test::readFile(day.path);
    ASSERT_GE(day.rows, 10);
    ASSERT_TRUE(test::eventually([&] { return subscriber.payloads("/state").size() >= 2 &&
                                              subscriber.payloads("/state").back() == "offline"; }));
    std::vector<std::string> rows = subscriber.payloads("/group/1");
    ASSERT_EQ(rows.size(), static_cast<size_t>(day.rows));
    for (int index = 0; index < day.rows; ++index) {
        std::string row = file.substr(512 + 171 * index, 171);
        // "HH:MM:SS,mmm" of the row, as "THH:MM:SS.mmm" in the message.
        EXPECT_EQ(rows[index].substr(21, 12), row.substr(0, 8) + "." + row.substr(9, 3)) << index;
        std::vector<std::string> values = valuesOf(rows[index]);
        ASSERT_EQ(values.size(), 11u);
        for (int pen = 0, entry = 0; pen < kPensPerGroup; ++pen) {
            if (pen == 1) continue;
            EXPECT_EQ(values[entry++], trimmed(row.substr(15 + 13 * pen, 12))) << index << " " << pen;
        }
    }
    std::string history = test::readFile(home.dataFolder() + "/KVT936P.LPAU");
    std::vector<std::string> records;
    for (size_t at = 0; at + 51 <= history.size(); at += 51) records.push_back(history.substr(at, 51));
    std::vector<std::string> alarms = subscriber.payloads("/alarm");
    ASSERT_GE(records.size(), 1u);
    ASSERT_EQ(alarms.size(), records.size());
    for (size_t index = 0; index < records.size(); ++index) {
        // "2026/12/10,09:15:30,01,12,On alarm" against the message's time, pen and state.
        EXPECT_NE(alarms[index].find(records[index].substr(11, 8) + "."), std::string::npos);
        EXPECT_NE(alarms[index].find("\"pen\": 12, \"tag\": "), std::string::npos);
        bool cleared = records[index].find("clear") != std::string::npos;
        EXPECT_NE(alarms[index].find(cleared ? "\"slot\": \"on\", \"state\": \"went\""
                                             : "\"slot\": \"on\", \"state\": \"came\""),
                  std::string::npos)
            << alarms[index] << records[index];
    }
    std::vector<std::string> states = subscriber.payloads("/state");
    EXPECT_NE(std::find(states.begin(), states.end(), "measuring"), states.end());
    EXPECT_EQ(publisherStatus().spooledMessages, 0u);
}

}  // namespace
}  // namespace kvt
