#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "RecordingFixture.h"
#include "core/RunFlags.h"
#include "journal/Journal.h"
#include "recording/CsvRow.h"
#include "recording/RecordingStatus.h"
#include "recording/RecordingWriter.h"
#include "recording/WriteOutage.h"
#include "support/CapturedStderr.h"
#include "support/CommaLocale.h"
#include "support/Eventually.h"

namespace kvt {
namespace {

using test::addGroupSample;
using test::addHighSpeedBlock;
using test::addMilliseconds;
using test::feed;
using test::fileExists;
using test::makeRecord;
using test::makeTime;
using test::readFile;

class RecordingWriterTest : public test::RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        time = makeTime(2026, 3, 7, 13, 5, 42, 500);
        for (int group = 1; group <= kTrendGroupCount; ++group) {
            settings(group).storingMode = kNormal;
        }
        for (PenSettings (&pens)[kPensPerGroup] : liveConfiguration.pens) {
            for (int pen = 0; pen < kPensPerGroup; ++pen) {
                pens[pen].enabled = pen == 0 ? 1 : 0;
                pens[pen].decimalPlaces = 1;
                pens[pen].inputLow = pens[pen].scaleLow = 0;
                pens[pen].inputHigh = pens[pen].scaleHigh = 10000;
                std::snprintf(pens[pen].tag, sizeof pens[pen].tag, "T%d", pen + 1);
                std::snprintf(pens[pen].unit, sizeof pens[pen].unit, "U%d", pen + 1);
            }
        }
    }
    int drain() {
        int rows = 0;
        for (int pass = 0; pass < 1000 && pendingRowCount() > 0; ++pass) {
            int written = writerPass();
            if (written == 0 && pendingRowCount() > 0) break;
            rows += written;
        }
        return rows;
    }
    std::string dayFile(const char* day, int group) {
        return std::string(dataFolder()) + "/" + day + "/GR" + std::to_string(group) + ".CSV";
    }
    // The rows of a day file after its header blocks.
    std::string rowsOf(const char* day, int group) {
        std::string bytes = readFile(dayFile(day, group));
        return bytes.size() < 512 ? std::string() : bytes.substr(512);
    }
    static std::string headerBlock(const std::string& text) {
        std::string block = text;
        block.resize(255, '\0');
        return block + "\n";
    }
    // Pen 1 text of every row (groups 1-10: columns 14 to 27).
    static std::string pen1Column(const std::string& rows, int rowLength = 171) {
        std::string column;
        for (size_t at = 0; at + rowLength <= rows.size(); at += rowLength) {
            column += rows.substr(at + 15, 12) + "|";
        }
        return column;
    }
};

TEST_F(RecordingWriterTest, FirstRowCreatesTheFileWithTwoHeaderBlocks) {
    feedSamples(1, 2, 12.25);
    EXPECT_EQ(drain(), 2);
    std::string bytes = readFile(dayFile("20260307", 1));
    ASSERT_EQ(bytes.size(), 512u + 2 * 171u);
    EXPECT_EQ(bytes.substr(0, 256),
              headerBlock(",,,T1,T2,T3,T4,T5,T6,T7,T8,T9,T10,T11,T12"));
    EXPECT_EQ(bytes.substr(256, 256),
              headerBlock(",,,U1,U2,U3,U4,U5,U6,U7,U8,U9,U10,U11,U12"));
    std::string blanks;
    for (int pen = 1; pen < 12; ++pen) blanks += ",            ";
    EXPECT_EQ(bytes.substr(512, 171), "13:05:42,500, ,        12.2" + blanks + "\n");
    EXPECT_EQ(bytes.substr(512 + 171, 171), "13:05:43,000, ,        13.2" + blanks + "\n");
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
}

TEST_F(RecordingWriterTest, OneSecondGroupRowHasThreeSpacesForMilliseconds) {
    settings(5).storingCycle = kCycle1s;
    liveConfiguration.pens[5][0].decimalPlaces = 3;
    time = makeTime(2026, 3, 7, 8, 0, 1);
    feedSamples(5, 1, 12.345);
    drain();
    EXPECT_EQ(rowsOf("20260307", 5).substr(0, 27), "08:00:01,   , ,      12.345");
}

TEST_F(RecordingWriterTest, HighSpeedRowsAndTheDayChange) {
    liveConfiguration.highSpeedRecording.storingMode = kRemoteTrigger;
    const int on[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    time = makeTime(2026, 3, 7, 23, 59, 59, 500);
    for (int record = 0; record < 2; ++record) {
        AcquisitionRecord acquisition = makeRecord(time);
        addHighSpeedBlock(acquisition, on, record * 10);
        feed(acquisition);
        time = addMilliseconds(time, 500);
    }
    EXPECT_EQ(drain(), 20);
    std::string first = rowsOf("20260307", 0);
    std::string second = rowsOf("20260308", 0);
    ASSERT_EQ(first.size(), 10u * 119u);
    ASSERT_EQ(second.size(), 10u * 119u);
    EXPECT_EQ(first.substr(9 * 119, 27), "23:59:59,950,1,         9.0");
    EXPECT_EQ(second.substr(0, 27), "00:00:00,000,1,        10.0");
    EXPECT_EQ(readFile(dayFile("20260308", 0)).substr(0, 30),
              std::string(",,,T1,T2,T3,T4,T5,T6,T7,T8") + std::string(4, '\0'));
}

TEST_F(RecordingWriterTest, RenamedTagReachesOnlyTheNextDaysFile) {
    time = makeTime(2026, 3, 7, 23, 59, 59);
    feedSamples(2, 1);
    drain();
    std::strcpy(liveConfiguration.pens[2][0].tag, "RENAMED");
    feedSamples(2, 2);  // 23:59:59.500 and 00:00:00.000
    drain();
    std::string today = readFile(dayFile("20260307", 2));
    EXPECT_EQ(today.size(), 512u + 2 * 171u);
    EXPECT_EQ(today.substr(0, 6), ",,,T1,");
    EXPECT_EQ(readFile(dayFile("20260308", 2)).substr(0, 11), ",,,RENAMED,");
}

TEST_F(RecordingWriterTest, ShiftJisTagsAreWrittenAsTheirBytes) {
    const char kTemperature[] = "\x89\xB7\x93\x78";  // two double-byte characters
    const char kDegrees[] = "\x81\x8E";
    std::strcpy(liveConfiguration.pens[3][0].tag, kTemperature);
    std::strcpy(liveConfiguration.pens[3][0].unit, kDegrees);
    feedSamples(3, 1);
    drain();
    std::string bytes = readFile(dayFile("20260307", 3));
    EXPECT_EQ(bytes.substr(0, 8), std::string(",,,") + kTemperature + ",");
    EXPECT_EQ(bytes.substr(256, 6), std::string(",,,") + kDegrees + ",");
}

TEST_F(RecordingWriterTest, BlockedDayFolderKeepsTheRowsUntilItClears) {
    std::string day = std::string(dataFolder()) + "/20260307";
    test::writeFile(day, "in the way");
    feedSamples(1, 3, 0);
    feedSamples(2, 2, 10);
    EXPECT_EQ(writerPass(), 0);
    EXPECT_EQ(writerPass(), 0);
    EXPECT_EQ(pendingRowCount(), 5u);
    EXPECT_EQ(droppedRowCount.load(), 0u);

    unlink(day.c_str());
    feedSamples(1, 1, 3);
    EXPECT_EQ(drain(), 6);
    EXPECT_EQ(pen1Column(rowsOf("20260307", 1)),
              "         0.0|         1.0|         2.0|         3.0|");
    EXPECT_EQ(pen1Column(rowsOf("20260307", 2)), "        10.0|        11.0|");
    EXPECT_EQ(droppedRowCount.load(), 0u);
}

TEST_F(RecordingWriterTest, ARemovedDataFolderIsMadeAgain) {
    feedSamples(6, 1, 1);
    drain();
    std::filesystem::remove_all(dataFolder());
    feedSamples(6, 1, 2);
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(pen1Column(rowsOf("20260307", 6)), "         2.0|");
}

TEST_F(RecordingWriterTest, RowsWhoseSlotWasOverwrittenAreCountedAndSkipped) {
    feedSamples(1, kRingSlotCount + 100);
    EXPECT_EQ(drain(), kRingSlotCount);
    EXPECT_EQ(droppedRowCount.load(), 100u);
    std::string rows = rowsOf("20260307", 1);
    ASSERT_EQ(rows.size(), static_cast<size_t>(kRingSlotCount) * 171);
    EXPECT_EQ(rows.substr(15, 12), "       100.0");
    EXPECT_EQ(rows.substr(rows.size() - 171 + 15, 12), "      1699.0");
}

// Today's GR3.CSV is a folder while ten groups record every half second.
TEST_F(RecordingWriterTest, ABlockedDayFileStopsOnlyItsOwnGroup) {
    std::string day = std::string(dataFolder()) + "/20260307";
    ASSERT_EQ(mkdir(day.c_str(), 0777), 0);
    ASSERT_EQ(mkdir(dayFile("20260307", 3).c_str(), 0777), 0);
    for (int index = 0; index < 20; ++index) {
        AcquisitionRecord record = makeRecord(time);
        for (int group = 1; group <= kTrendGroupCount; ++group) {
            addGroupSample(record, group, 0, index);
        }
        feed(record);
        writerPass();
        time = addMilliseconds(time, 500);
    }
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        if (group == 3) continue;
        EXPECT_EQ(rowsOf("20260307", group).size(), 20u * 171u) << "group " << group;
    }
    EXPECT_EQ(pendingRowCount(), 20u);  // group 3's

    ASSERT_EQ(rmdir(dayFile("20260307", 3).c_str()), 0);
    EXPECT_EQ(drain(), 20);
    std::string rows = rowsOf("20260307", 3);
    EXPECT_EQ(pen1Column(rows.substr(0, 2 * 171)), "         0.0|         1.0|");
    EXPECT_EQ(pen1Column(rows.substr(18 * 171)), "        18.0|        19.0|");
    EXPECT_EQ(droppedRowCount.load(), 0u);
}

// Group 3's share overflows while its file refuses rows: only its oldest
// rows are dropped, counted for it, and the status view tells all of it.
TEST_F(RecordingWriterTest, AnOverflowingShareDropsAndCountsOnlyItsGroupsRows) {
    std::string day = std::string(dataFolder()) + "/20260307";
    ASSERT_EQ(mkdir(day.c_str(), 0777), 0);
    ASSERT_EQ(mkdir(dayFile("20260307", 3).c_str(), 0777), 0);
    constexpr int kRecords = kWriteShareSize + 10;
    for (int index = 0; index < kRecords; ++index) {
        AcquisitionRecord record = makeRecord(time);
        addGroupSample(record, 3, 0, index);
        addGroupSample(record, 4, 0, index);
        feed(record);
        writerPass();
        time = addMilliseconds(time, 500);
    }
    WriteFailure failure;
    ASSERT_TRUE(currentWriteFailure(3, failure));
    EXPECT_EQ(failure.error, EISDIR);
    EXPECT_EQ(failure.path, dayFile("20260307", 3));
    EXPECT_FALSE(currentWriteFailure(4, failure));
    EXPECT_EQ(rowsDropped(3), 10u);
    EXPECT_EQ(rowsDropped(4), 0u);
    EXPECT_EQ(droppedRowCount.load(), 10u);
    EXPECT_EQ(rowsWrittenToday(4, {2026, 3, 7}), static_cast<uint32_t>(kRecords));
    EXPECT_EQ(rowsWrittenToday(4, {2026, 3, 8}), 0u);
    SystemTime newest;
    ASSERT_TRUE(lastRowTime(4, newest));
    EXPECT_EQ(test::stampMs(newest), test::stampMs(addMilliseconds(time, -500)));
    EXPECT_FALSE(lastRowTime(3, newest));

    ASSERT_EQ(rmdir(dayFile("20260307", 3).c_str()), 0);
    EXPECT_EQ(drain(), kWriteShareSize);
    EXPECT_EQ(rowsOf("20260307", 3).substr(15, 12), "        10.0");
    EXPECT_FALSE(currentWriteFailure(3, failure));
    EXPECT_EQ(rowsWaiting(3), 0u);
}

TEST_F(RecordingWriterTest, QueueSequencesWrapWithoutLosingEntries) {
    WriteShare& share = writeQueue.shares[1];
    share.writeSequence.store(kQueueSequenceModulus - 2);
    share.readSequence.store(kQueueSequenceModulus - 2);
    feedSamples(1, 5);
    EXPECT_EQ(pendingRowCount(), 5u);
    EXPECT_EQ(drain(), 5);
    EXPECT_EQ(share.readSequence.load(), 3u);
    EXPECT_EQ(droppedRowCount.load(), 0u);
}

TEST_F(RecordingWriterTest, PartialRowIsCutOffAndWrittenAgain) {
    feedSamples(1, 1, 1);
    drain();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 512 + 171 + 60;  // the next row fits only partly
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    feedSamples(1, 1, 2);
    EXPECT_EQ(writerPass(), 0);
    EXPECT_EQ(readFile(dayFile("20260307", 1)).size(), 512u + 171u);
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(pen1Column(rowsOf("20260307", 1)), "         1.0|         2.0|");
}

TEST_F(RecordingWriterTest, DamagedFilesAreRepairedBeforeAppending) {
    std::string day = std::string(dataFolder()) + "/20260307";
    mkdir(day.c_str(), 0777);
    // A file cut off inside its header blocks holds no row: started again.
    test::writeFile(dayFile("20260307", 1), std::string(100, 'x'));
    // A row cut off by a crash is removed so the next row lands in place.
    std::string earlier(512, '\0');
    earlier += std::string(170, 'r') + "\n" + "12:00:00,0";
    test::writeFile(dayFile("20260307", 2), earlier);
    feedSamples(1, 1, 1);
    feedSamples(2, 1, 2);
    EXPECT_EQ(drain(), 2);
    std::string first = readFile(dayFile("20260307", 1));
    EXPECT_EQ(first.size(), 512u + 171u);
    EXPECT_EQ(first.substr(0, 6), ",,,T1,");
    std::string second = readFile(dayFile("20260307", 2));
    ASSERT_EQ(second.size(), 512u + 2 * 171u);
    EXPECT_EQ(second.substr(512 + 171, 8), "13:05:43");
}

TEST_F(RecordingWriterTest, WriterThreadDrainsTheQueueUntilExit) {
    feedSamples(4, 3);
    store(exitRequested, 0);
    std::thread writer(recordingWriterMain);
    while (pendingRowCount() > 0) std::this_thread::yield();
    store(exitRequested, 1);
    writer.join();
    store(exitRequested, 0);
    EXPECT_EQ(rowsOf("20260307", 4).size(), 3u * 171u);
}

// An end during an outage: the rows the refusing file still owes go with
// the process, counted as dropped for their group and told in the journal;
// the other groups' rows are all written.
TEST_F(RecordingWriterTest, RowsARefusingFileOwesAtExitAreCountedAsDroppedAndTold) {
    std::string day = std::string(dataFolder()) + "/20260307";
    ASSERT_EQ(mkdir(day.c_str(), 0777), 0);
    ASSERT_EQ(mkdir(dayFile("20260307", 3).c_str(), 0777), 0);
    feedSamples(3, 6);
    feedSamples(4, 4);
    test::CapturedStderr journal;
    discardJournal();
    store(exitRequested, 1);
    recordingWriterMain();
    store(exitRequested, 0);
    flushJournal();
    EXPECT_EQ(rowsOf("20260307", 4).size(), 4u * 171u);
    EXPECT_EQ(rowsDropped(3), 6u);
    EXPECT_EQ(rowsDropped(4), 0u);
    EXPECT_EQ(pendingRowCount(), 0u);
    EXPECT_EQ(journal.text(), "<3>group 3: 6 rows could not be written before the end and are "
                              "dropped (cannot write " + dayFile("20260307", 3) +
                                  ": a folder stands where the file belongs)\n");
}

// The failure noted on the writer thread reaches the scheduler's watch and
// the window's reading whole (the hand-over ThreadSanitizer looks at).
TEST_F(RecordingWriterTest, AWriterThreadsFailureIsToldAcrossThreads) {
    std::string day = std::string(dataFolder()) + "/20260307";
    test::writeFile(day, "in the way");
    feedSamples(1, 5);
    store(exitRequested, 0);
    std::thread writer(recordingWriterMain);
    // Records half a second apart, each watched by the scheduler's pass.
    auto watchedUntil = [&](auto condition) {
        return test::eventually([&] {
            clock.clock.advanceMs(500);
            feed(makeRecord(time));
            return condition();
        }, 10000);
    };
    EXPECT_TRUE(watchedUntil([] { return writeOutageShown(); }));
    WriteFailure failure;
    EXPECT_TRUE(reportedWriteFailure(failure));
    EXPECT_EQ(failure.path, dayFile("20260307", 1));
    EXPECT_EQ(failure.error, ENOTDIR);
    unlink(day.c_str());
    EXPECT_TRUE(watchedUntil([] { return !writeOutageShown(); }));
    store(exitRequested, 1);
    writer.join();
    store(exitRequested, 0);
    EXPECT_EQ(rowsOf("20260307", 1).size(), 5u * 171u);
}

// The toolkit sets the process locale from LANG; a German desktop must not
// turn the points of the day files into commas (extra columns for every
// reader, our own playback included).
TEST_F(RecordingWriterTest, DayFileRowsKeepTheirPointsUnderACommaLocale) {
    test::ScopedCommaLocale comma;
    ASSERT_TRUE(comma.active()) << "cannot build the " << test::kCommaLocaleName << " locale";
    settings(3).storingCycle = kCycle1s;
    PenSettings* pens = liveConfiguration.pens[3];
    const double values[4] = {4.8e7, 12.345, -0.0006, 50.0};
    const int decimals[4] = {2, 2, 3, 1};
    for (int pen = 0; pen < 4; ++pen) {
        pens[pen].enabled = 1;
        pens[pen].decimalPlaces = decimals[pen];
        pens[pen].inputHigh = pens[pen].scaleHigh = 1e8;
    }
    pens[0].logScale = 1;
    AcquisitionRecord record = makeRecord(makeTime(2026, 3, 7, 8, 0, 1));
    addGroupSample(record, 3, 0, kNoData);
    for (int pen = 0; pen < 4; ++pen) record.groups[2].values[pen] = values[pen];
    feed(record);
    EXPECT_EQ(drain(), 1);
    std::string blanks;
    for (int pen = 4; pen < 12; ++pen) blanks += ",            ";
    std::string rows = rowsOf("20260307", 3);
    EXPECT_EQ(rows, "08:00:01,   , ,    4.80E+07,       12.35,      -0.001,        50.0" +
                        blanks + "\n");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), ','), 14);
}

}  // namespace
}  // namespace kvt
