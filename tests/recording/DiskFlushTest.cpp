#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "RecordingFixture.h"
#include "core/RunFlags.h"
#include "platform/DiskFlush.h"
#include "recording/AlarmHistory.h"
#include "recording/RecordingStatus.h"
#include "recording/RecordingWriter.h"
#include "recording/WriteOutage.h"
#include "support/DayFiles.h"
#include "support/Eventually.h"

namespace kvt {
namespace {

using test::readFile;

// Every flush of a file: its path and the tick it came at. A path named in
// `failingPath` fails its next flush with EIO, once.
std::mutex flushMutex;
std::map<std::string, std::vector<uint32_t>> flushTicks;
std::string failingPath;

int recordFlush(int descriptor, FlushKind kind) {
    if (kind != FlushKind::FileData) return 0;
    char path[1400] = {};
    std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    if (readlink(link.c_str(), path, sizeof path - 1) < 0) return 0;
    std::lock_guard<std::mutex> lock(flushMutex);
    flushTicks[path].push_back(activeClock().tickCount());
    if (failingPath != path) return 0;
    failingPath.clear();
    return EIO;
}

class DiskFlushTest : public test::RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        settings(1).storingMode = kNormal;
        discardPendingAlarmHistory();
        flushTicks.clear();
        failingPath.clear();
        setDiskFlushHook(recordFlush);
    }
    void TearDown() override {
        setDiskFlushHook(nullptr);
        discardPendingAlarmHistory();
    }
    std::vector<uint32_t> flushesOf(const std::string& path) {
        std::lock_guard<std::mutex> lock(flushMutex);
        return flushTicks[path];
    }
    // Runs the recorder for `steps` tenths of a second: a row of group 1
    // every half second, an alarm event where `alarmAt` says, a writer pass
    // every tenth. Notes the tick of every append by path.
    void run(int steps, const std::vector<int>& alarmAt = {}, bool rows = true) {
        for (int step = 0; step < steps; ++step) {
            uint32_t now = activeClock().tickCount();
            if (rows && step % 5 == 0) {
                appends[test::dayFilePathOf(time, 1)].push_back(now);
                feedSamples(1, 1);
            } else {
                test::feed(test::makeRecord(time));
            }
            for (int at : alarmAt) {
                if (at != step) continue;
                appendAlarmHistory(1, 0, time, 2);
                appends[alarmHistoryPath()].push_back(now);
            }
            writerPass();
            clock.clock.advanceMs(100);
        }
    }
    std::map<std::string, std::vector<uint32_t>> appends;
};

// No file is flushed more than once a second, and every append is on the
// disk within two: a day file written every half second, one that the day
// change left behind, and an alarm history written in bursts and pauses.
TEST_F(DiskFlushTest, NoFileIsFlushedTwiceInASecondNorLeftUnflushedForTwo) {
    time = test::makeTime(2026, 3, 7, 23, 59, 56);
    run(120, {3, 4, 5, 6, 30, 31, 58, 90});
    run(30, {}, false);  // nothing new: what is left is flushed all the same
    ASSERT_EQ(appends.size(), 3u);
    for (const auto& [path, appendTicks] : appends) {
        std::vector<uint32_t> flushes = flushesOf(path);
        ASSERT_FALSE(flushes.empty()) << path;
        for (size_t index = 1; index < flushes.size(); ++index) {
            EXPECT_GE(flushes[index] - flushes[index - 1], 1000u) << path;
        }
        for (uint32_t appended : appendTicks) {
            bool flushedInTime = false;
            for (uint32_t flushed : flushes) {
                flushedInTime = flushedInTime || (flushed >= appended && flushed - appended <= 2000);
            }
            EXPECT_TRUE(flushedInTime) << path << " appended at " << appended;
        }
    }
}

// The alarm history's appends reach the writer thread through a counter
// (the hand-over ThreadSanitizer looks at), and its exit flushes the rest.
TEST_F(DiskFlushTest, TheWriterThreadFlushesWhatTheAcquisitionSideAppended) {
    store(exitRequested, 0);
    std::thread writer(recordingWriterMain);
    appendAlarmHistory(2, 3, time, 0);
    EXPECT_TRUE(test::eventually([&] { return !flushesOf(alarmHistoryPath()).empty(); }));
    feedSamples(1, 1);
    writerWake.signal();
    store(exitRequested, 1);
    writer.join();
    store(exitRequested, 0);
    EXPECT_EQ(flushesOf(test::dayFilePathOf(test::addMilliseconds(time, -500), 1)).size(), 1u);
}

// A flush that fails is a write failure of its file, told after five
// seconds like any other, even when the next flush works (the kernel tells
// lost write-back once); it ends once a flush worked and it was told.
struct FailedFlush {
    const char* name;
    bool alarmHistory;
};

void PrintTo(const FailedFlush& flush, std::ostream* out) { *out << flush.name; }

class FailedFlushTest : public DiskFlushTest, public ::testing::WithParamInterface<FailedFlush> {};

TEST_P(FailedFlushTest, IsToldAsAWriteFailureAndEndsAfterAFlushWorked) {
    std::string path = GetParam().alarmHistory ? alarmHistoryPath() : test::dayFilePathOf(time, 1);
    failingPath = path;
    std::vector<int> alarms;
    for (int step = 0; step < 100; step += 7) alarms.push_back(step);
    run(20, alarms);
    WriteFailure failure;
    bool failing =
        GetParam().alarmHistory ? alarmHistoryWriteFailure(failure) : currentWriteFailure(1, failure);
    EXPECT_TRUE(failing);
    EXPECT_EQ(failure.error, EIO);
    EXPECT_FALSE(writeOutageShown());
    run(35, alarms);
    EXPECT_TRUE(writeOutageShown());
    EXPECT_TRUE(reportedWriteFailure(failure));
    EXPECT_EQ(failure.path, path);
    run(20, alarms);
    EXPECT_FALSE(writeOutageShown());
    EXPECT_EQ(writeOutageCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Files, FailedFlushTest,
                         ::testing::Values(FailedFlush{"DayFile", false},
                                           FailedFlush{"AlarmHistory", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A power cut can leave a torn row or record, or zero bytes, at a file's
// end; the next append (for the alarm history: the first after a start)
// cuts it, so every row stays whole and at its place.
struct DamagedTail {
    const char* name;
    bool alarmHistory;
    std::string tail;
};

void PrintTo(const DamagedTail& damage, std::ostream* out) { *out << damage.name; }

class DamagedTailTest : public DiskFlushTest, public ::testing::WithParamInterface<DamagedTail> {};

TEST_P(DamagedTailTest, IsCutBeforeTheNextAppend) {
    const DamagedTail& damage = GetParam();
    std::string path = damage.alarmHistory ? alarmHistoryPath() : test::dayFilePathOf(time, 1);
    auto append = [&] {
        if (damage.alarmHistory) appendAlarmHistory(1, 0, time, 2);
        else feedSamples(1, 1);
        writerPass();
    };
    append();
    std::string whole = readFile(path);
    test::writeFile(path, whole + damage.tail);
    discardPendingAlarmHistory();  // as after a start
    append();
    std::string bytes = readFile(path);
    size_t unit = damage.alarmHistory ? kAlarmRecordLength : 171;
    ASSERT_EQ(bytes.size(), whole.size() + unit);
    EXPECT_EQ(bytes.substr(0, whole.size()), whole);
    EXPECT_EQ(bytes.back(), '\n');
    EXPECT_EQ(bytes.find('\0', whole.size()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, DamagedTailTest,
    ::testing::Values(DamagedTail{"DayFileZeros", false, std::string(4096, '\0')},
                      DamagedTail{"DayFileTornRow", false, "10:00:00,5"},
                      DamagedTail{"DayFileTornRowThenZeros", false,
                                  "10:00:00,5" + std::string(300, '\0')},
                      DamagedTail{"AlarmHistoryZeros", true, std::string(700, '\0')},
                      DamagedTail{"AlarmHistoryTornRecord", true, "2026/03/07,10:0"},
                      DamagedTail{"AlarmHistoryTornRecordThenZeros", true,
                                  "2026/03" + std::string(51, '\0')}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
