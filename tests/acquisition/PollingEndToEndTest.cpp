// The recorder's worker threads polling the node simulator, over a
// pseudo-terminal (COM1) and over Modbus/TCP on port 502 in a private
// network namespace, with samples followed into the day files. The
// simulator answers at the speed of a 38,400-baud line.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/CurrentValues.h"
#include "acquisition/GatewayConnection.h"
#include "acquisition/RequestMailbox.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/DeviceTables.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "platform/WindowCommands.h"
#include "recording/CsvRow.h"
#include "recording/RecordingWriter.h"
#include "support/Eventually.h"
#include "support/LinkTestState.h"
#include "support/NodeSimulator.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;
using test::eventually;

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// A 32-bit pen on channel C of a simulator started with --fixed reads
// (C + 1) x 65536 + C.
double fixedLong(int channel) { return (channel + 1) * 65536.0 + channel; }

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One day-file row split into its columns, blanks trimmed.
struct Row {
    int msOfDay = 0;
    Strings pens;
};

Row parseRow(const std::string& text) {
    Strings columns;
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string::npos;
         start = comma + 1, comma = text.find(',', start)) {
        columns.push_back(trimmed(text.substr(start, comma - start)));
    }
    columns.push_back(trimmed(text.substr(start)));
    Row row;
    int hour = 0, minute = 0, second = 0;
    std::sscanf(columns[0].c_str(), "%d:%d:%d", &hour, &minute, &second);
    row.msOfDay = ((hour * 60 + minute) * 60 + second) * 1000 + std::atoi(columns[1].c_str());
    row.pens.assign(columns.begin() + 3, columns.end());
    return row;
}

// Every row of the group, oldest day first.
std::vector<Row> dayFileRows(int group) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder())) {
        std::string file = entry.path().string() + "/GR" + std::to_string(group) + ".CSV";
        if (entry.is_directory() && test::fileExists(file)) files.push_back(file);
    }
    std::sort(files.begin(), files.end());
    std::vector<Row> rows;
    for (const std::string& file : files) {
        std::string bytes = test::readFile(file);
        for (size_t at = kDayFileHeaderSize; at + kTrendRowLength <= bytes.size();
             at += kTrendRowLength) {
            rows.push_back(parseRow(bytes.substr(at, kTrendRowLength - 1)));
        }
    }
    return rows;
}

// Rows one half second apart, without a gap (midnight wraps).
void expectEveryHalfSecond(const std::vector<Row>& rows) {
    for (size_t index = 1; index < rows.size(); ++index) {
        int step = (rows[index].msOfDay - rows[index - 1].msOfDay + 86400000) % 86400000;
        EXPECT_EQ(step, 500) << "row " << index;
    }
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class PollingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        languageFlag = 1;
        fillDefaults(liveConfiguration, 1, yesterday());
        liveConfiguration.operatingMode = kNormalMode;
        for (auto& group : liveConfiguration.pens) {
            for (PenSettings& pen : group) pen.enabled = 0;
        }
        liveConfiguration.group(1).storingMode = kNormal;
        initialiseRuntimeState();
        clearRequestMailbox();
        makeDataFolder();
    }
    void TearDown() override {
        stopRecorder();
        simulator.stop();
        clearRequestMailbox();
        initialiseRuntimeState();
    }

    PenSettings& pen(int group, int index, int node, int channel, int analogType = 0) {
        PenSettings& settings = liveConfiguration.pen(group, index);
        settings.enabled = 1;
        settings.node = node;
        settings.channel = channel;
        settings.analogType = analogType;
        return settings;
    }
    void enableNodes(std::initializer_list<int> nodes) {
        for (int& enabled : liveConfiguration.nodeEnabled) enabled = 0;
        for (int node : nodes) liveConfiguration.nodeEnabled[node - 1] = 1;
    }

    void startSerial(Strings arguments) {
        Strings all = {"--link", test::comLinkPath(home.path(), 0), "--verbose"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(simulator.start(all)) << simulator.output();
        liveConfiguration.commPort = 0;
    }
    void startTcp(Strings arguments) {
        std::string reason;
        if (!test::enterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
        // The serial line behind the gateway takes its time, as on RTU.
        Strings all = {"--tcp", "--listen", "127.0.0.1", "--port", "502", "--verbose",
                       "--baud", "38400"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(simulator.start(all)) << simulator.output();
        test::useLoopbackGateway();
    }

    void startRecorder() {
        startWorkerThreads();
        store(acquisitionRequested, 1);
        running = true;
    }
    // Ends the run, lets the writer catch up, joins the threads.
    void stopRecorder() {
        if (!running) return;
        running = false;
        store(acquisitionRequested, 0);
        eventually([] { return load(acquisitionActive) == 0; }, 3000);
        eventually([] { return pendingRowCount() == 0; }, 3000);
        stopWorkerThreads();
        store(exitRequested, 0);
    }
    static bool valueIs(int group, int pen, double value) {
        return currentValue(group, pen) == value;
    }
    bool waitForValue(int group, int pen, double value, int timeoutMs = 5000) {
        return eventually([&] { return valueIs(group, pen, value); }, timeoutMs);
    }
    // A failed start sets its flags before it posts its report to the
    // window: once the report is there, the flags are too.
    static bool waitForReport(int command, long postedBefore) {
        return eventually(
            [&] { return postedWindowCommandCount(command) - postedBefore >= 1; }, 8000);
    }
    bool waitForRows(int group, size_t count, int timeoutMs = 8000) {
        return eventually([&] { return dayFileRows(group).size() >= count; }, timeoutMs);
    }

    // Pens 1 and 2 of group 1 read register 1 of nodes 1 and 2 (a --fixed
    // simulator); true once both have been read.
    bool pollTwoNodes() {
        enableNodes({1, 2});
        pen(1, 0, 1, 1);
        pen(1, 1, 2, 1);
        startRecorder();
        return waitForValue(1, 0, fixedLong(1)) && waitForValue(1, 1, fixedLong(1));
    }
    // Pins register 1 of the meters to `value`; true once node 1's pen shows it.
    bool nodeOneShows(int value, int timeoutMs) {
        return command("set 1=" + std::to_string(value) + ",0") &&
               waitForValue(1, 0, value, timeoutMs);
    }
    // A simulator held up by a slow node (it answers nobody meanwhile, like
    // a gateway's one serial line) takes commands only between its answers.
    bool command(const std::string& line) { return simulator.command(line, 10000); }

    // Nodes 1 and 2 answer, then node 2 falls silent: node 1 goes on being
    // read and recorded, node 2's pen keeps its last value, no step is lost.
    void expectSilentNodeLeavesTheOtherPolling() {
        ASSERT_TRUE(pollTwoNodes());
        ASSERT_TRUE(simulator.command("silent 2"));
        ASSERT_TRUE(nodeOneShows(5, 15000));
        ASSERT_TRUE(nodeOneShows(6, 15000));  // and again: not a lucky pass
        EXPECT_EQ(currentValue(1, 1), fixedLong(1));
        size_t rowsBefore = dayFileRows(1).size();
        ASSERT_TRUE(waitForRows(1, rowsBefore + 4));
        EXPECT_EQ(load(acquisitionActive), 1);
        stopRecorder();
        std::vector<Row> rows = dayFileRows(1);
        EXPECT_EQ(rows.back().pens[0], "6.00");
        EXPECT_EQ(rows.back().pens[1], "131073.00");
        // A late pass writes every step it owes: no step is lost.
        expectEveryHalfSecond(rows);
    }

    test::TempHome home;
    test::NodeSimulatorProcess simulator;
    bool running = false;
};

TEST_F(PollingEndToEnd, SerialValuesReachTheTableAndTheDayFile) {
    startSerial({"--nodes", "1,2", "--fixed", "--discrete", "on"});
    enableNodes({1, 2});
    pen(1, 0, 1, 1);
    pen(1, 1, 1, 193, 8).decimalPlaces = 1;        // unsigned, 0.1
    pen(1, 2, 2, 11, kAnalogTypePowerFactor);        // status in register 15
    pen(1, 3, 1, 1).isDiscrete = 1;
    pen(1, 4, 2, 2143);                              // never read
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    ASSERT_TRUE(waitForValue(1, 2, fixedLong(11) * 0.0001));
    EXPECT_DOUBLE_EQ(currentValue(1, 1), fixedLong(193) * 0.1);
    EXPECT_EQ(penStatus[penIndex(1, 2)].load(), 15);
    EXPECT_EQ(currentValue(1, 3), 1.0);
    ASSERT_TRUE(waitForRows(1, 4));
    stopRecorder();
    std::vector<Row> rows = dayFileRows(1);
    ASSERT_GE(rows.size(), 4u);
    const Row& last = rows.back();
    EXPECT_EQ(last.pens[0], "131073.00");
    EXPECT_EQ(last.pens[1], "1271417.7");
    EXPECT_EQ(last.pens[3], "1");
    EXPECT_EQ(last.pens[4], "");
    expectEveryHalfSecond(rows);
}

TEST_F(PollingEndToEnd, SerialAlarmOutputWaitsForItsGroupThenReachesTheNode) {
    startSerial({"--fixed"});
    pen(1, 0, 1, 1);
    liveConfiguration.group(2).storingCycle = kCycle5s;
    PenSettings& alarmPen = pen(2, 0, 1, 3);
    alarmPen.alarmOutput[1] = 1;
    alarmPen.alarmLimitHigh = 1000.0;  // always exceeded
    alarmPen.alarmOutputNode[1] = 1;
    alarmPen.alarmOutputChannel[1] = 2;
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    bool sawHoldBack = false;
    for (auto deadline = Clock::now() + std::chrono::seconds(8); Clock::now() < deadline;) {
        std::string seen = simulator.output();
        if (groupStoredFlag[2].load() != 0) break;
        // Group 2 has not stored a sample: nothing may have been written.
        sawHoldBack = true;
        ASSERT_EQ(seen.find("write node=1"), std::string::npos);
        pause(20);
    }
    ASSERT_EQ(groupStoredFlag[2].load(), 1);
    EXPECT_TRUE(sawHoldBack);
    EXPECT_TRUE(simulator.waitForOutput("write node=1 address=0x0C20 values=0,1,0,0\n", 3000))
        << simulator.output().substr(0, 2000);
}

TEST_F(PollingEndToEnd, SerialSilentNodeKeepsItsValuesWhileTheOtherGoesOn) {
    startSerial({"--nodes", "1,2", "--fixed"});
    expectSilentNodeLeavesTheOtherPolling();
}

TEST_F(PollingEndToEnd, SerialTwoTriggerGroupsReadTheirNodeOncePerCall) {
    startSerial({"--nodes", "1,2", "--fixed", "--discrete", "on"});
    enableNodes({1});
    pen(1, 0, 1, 1);
    liveConfiguration.group(3).storingMode = kRemoteTrigger;
    liveConfiguration.group(3).triggerNode = 2;
    liveConfiguration.group(4).storingMode = kEventRecording;
    liveConfiguration.group(4).triggerNode = 2;
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    pause(1500);
    stopRecorder();
    std::string log = simulator.output();
    size_t blockReads = countOf(log, "request rtu node=1 bytes=01 03 00 00 00 40");
    size_t triggerReads = countOf(log, "request rtu node=2 bytes=02 03 0C 00 00 01");
    EXPECT_GE(blockReads, 8u);
    EXPECT_LE(triggerReads, blockReads + 1);
    EXPECT_GE(triggerReads + 1, blockReads);
    EXPECT_EQ(groupTriggerState[3].load(), 1);
    EXPECT_EQ(groupTriggerState[4].load(), 1);
}

// Every answer arrives in two segments: that costs neither a sample nor
// the connection.
TEST_F(PollingEndToEnd, TcpValuesReachTheTableAndTheDayFileFromSplitAnswers) {
    startTcp({"--nodes", "1,2", "--fixed", "--split", "5"});
    enableNodes({1, 2});
    pen(1, 0, 1, 1);
    pen(1, 1, 2, 2142, 13);  // 16-bit, block 33
    pen(1, 2, 1, 64);        // a 32-bit pen on the last register of its block
    long connects = gatewayConnectCount();
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    ASSERT_TRUE(waitForValue(1, 1, 2142 * 0.1));
    ASSERT_TRUE(waitForRows(1, 6));
    stopRecorder();
    EXPECT_EQ(gatewayConnectCount() - connects, 1);
    EXPECT_EQ(currentValue(1, 2), kNoData);
    std::vector<Row> rows = dayFileRows(1);
    EXPECT_EQ(rows.back().pens[0], "131073.00");
    EXPECT_EQ(rows.back().pens[1], "214.20");
    EXPECT_EQ(rows.back().pens[2], "");
    expectEveryHalfSecond(rows);
}

TEST_F(PollingEndToEnd, TcpDroppedConnectionsCostOnlyTheFailedExchanges) {
    startTcp({"--fixed", "--drop-every", "50"});
    enableNodes({1});
    pen(1, 0, 1, 1);
    long connects = gatewayConnectCount();
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    bool stayedActive = true;
    bool threeDrops = eventually(
        [&] {
            stayedActive = stayedActive && load(acquisitionActive) == 1;
            return countOf(simulator.output(), "request tcp") >= 175;
        },
        25000);
    ASSERT_TRUE(threeDrops);
    EXPECT_TRUE(stayedActive);
    EXPECT_TRUE(nodeOneShows(77, 3000));  // values go on after the reconnects
    ASSERT_TRUE(waitForRows(1, 10));
    stopRecorder();
    EXPECT_GE(gatewayConnectCount() - connects, 4);
    std::vector<Row> rows = dayFileRows(1);
    ASSERT_GE(rows.size(), 10u);
    expectEveryHalfSecond(rows);
    for (const Row& row : rows) EXPECT_NE(row.pens[0], "");
}

TEST_F(PollingEndToEnd, TcpSilentNodeKeepsItsValuesWhileTheOtherGoesOn) {
    startTcp({"--nodes", "1,2", "--fixed"});
    expectSilentNodeLeavesTheOtherPolling();
}

// A gateway answers for a node that has gone missing with exception 0x0B,
// first after its own serial time-out (later than the recorder waits),
// then promptly. Node 1 goes on; a prompt exception costs no connection.
TEST_F(PollingEndToEnd, TcpGatewayExceptionForOneNodeCostsOnlyThatNode) {
    startTcp({"--nodes", "1,2", "--fixed"});
    ASSERT_TRUE(pollTwoNodes());
    ASSERT_TRUE(command("delay 2:1000"));
    ASSERT_TRUE(command("exception 2:11"));
    ASSERT_TRUE(nodeOneShows(5, 15000));

    ASSERT_TRUE(command("delay 2:100"));
    ASSERT_TRUE(nodeOneShows(6, 5000));
    long connects = gatewayConnectCount();
    ASSERT_TRUE(nodeOneShows(7, 5000));
    pause(1000);
    EXPECT_EQ(gatewayConnectCount(), connects);  // the answers were complete
    EXPECT_EQ(currentValue(1, 1), fixedLong(1));  // an exception is no value

    ASSERT_TRUE(command("exception off"));
    ASSERT_TRUE(command("set 2:1=9,0"));
    EXPECT_TRUE(waitForValue(1, 1, 9.0, 5000));
    EXPECT_EQ(load(acquisitionActive), 1);
    stopRecorder();
    expectEveryHalfSecond(dayFileRows(1));
}

// The node refuses its alarm-output writes (written once a second while
// they do not change); its readings go on over the same connection.
TEST_F(PollingEndToEnd, TcpRefusedOutputWriteLeavesTheReadsGoing) {
    startTcp({"--fixed", "--write-exception", "1:1"});
    enableNodes({1});
    pen(1, 0, 1, 1);
    long connects = gatewayConnectCount();
    startRecorder();
    ASSERT_TRUE(waitForValue(1, 0, fixedLong(1)));
    for (int value : {5, 6, 7}) ASSERT_TRUE(nodeOneShows(value, 3000)) << value;
    const std::string write = "request tcp node=1 bytes=00 00 00 00 00 0F 01 10 0C 20";
    ASSERT_TRUE(eventually([&] { return countOf(simulator.output(), write) >= 3; }, 5000));
    stopRecorder();
    std::string log = simulator.output();
    EXPECT_EQ(log.find("write node=1"), std::string::npos);
    EXPECT_EQ(gatewayConnectCount() - connects, 1);
}

TEST_F(PollingEndToEnd, TcpNothingListeningReportsTheSocketConnectError) {
    std::string reason;
    if (!test::enterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
    test::useLoopbackGateway();
    enableNodes({1});
    pen(1, 0, 1, 1);
    long reports = postedWindowCommandCount(kCommandSocketError);
    startRecorder();
    ASSERT_TRUE(waitForReport(kCommandSocketError, reports));
    EXPECT_EQ(load(startFailed), 1);
    EXPECT_EQ(postedWindowCommandCount(kCommandSocketError) - reports, 1);
    EXPECT_EQ(load(acquisitionRequested), 0);
    EXPECT_EQ(load(acquisitionActive), 0);
}

TEST_F(PollingEndToEnd, TcpNodeThatDoesNotAnswerTheProbeIsReported) {
    startTcp({"--nodes", "1,2", "--silent", "2"});
    enableNodes({1, 2, 3});
    pen(1, 0, 1, 1);
    long reports = postedWindowCommandCount(kCommandNodeError);
    startRecorder();
    ASSERT_TRUE(waitForReport(kCommandNodeError, reports));
    EXPECT_EQ(load(startFailed), 1);
    EXPECT_EQ(load(failedNode), 2);
    EXPECT_EQ(postedWindowCommandCount(kCommandNodeError) - reports, 1);
    EXPECT_EQ(load(acquisitionActive), 0);
    // Both probes went out to node 2.
    EXPECT_EQ(countOf(simulator.output(), "request tcp node=2 bytes=00 00 00 00 00 06 02 03"), 2u);
    stopRecorder();
    // Nobody answers as node 3 either: the gateway's exception is no answer.
    simulator.command("answer 2");
    store(startFailed, 0);
    long before = postedWindowCommandCount(kCommandNodeError);
    startRecorder();
    ASSERT_TRUE(waitForReport(kCommandNodeError, before));
    EXPECT_EQ(load(startFailed), 1);
    EXPECT_EQ(load(failedNode), 3);
    EXPECT_EQ(postedWindowCommandCount(kCommandNodeError) - before, 1);
}

}  // namespace
}  // namespace kvt
