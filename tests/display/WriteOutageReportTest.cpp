// A day file or the alarm history that cannot be written, seen as the user
// sees it: the window's message boxes and its Disk lamp, with the scheduler
// and the writer driven step by step on a fake clock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

// The rings name their samples "slots", which the toolkit's headers make a
// keyword: the recording headers come first.
#include "recording/RecordingFixture.h"

#include "core/RunFlags.h"
#include "display/MainWindow.h"
#include "journal/Journal.h"
#include "platform/Paths.h"
#include "recording/AlarmHistory.h"
#include "recording/RecordingWriter.h"
#include "support/CapturedStderr.h"
#include "support/QtTestApplication.h"
#include "support/ScriptedMessageBoxes.h"

namespace kvt {
namespace {

std::string dayFolder() { return std::string(dataFolder()) + "/20260307"; }
std::string group3File() { return dayFolder() + "/GR3.CSV"; }

struct OutageCase {
    const char* name;
    int language;
    bool dayFile;  // else the alarm history
    const char* reason;
    const char* resumed;
};

// 30 steps of 40 alarm events each: 1,200 events, 1,024 kept in the backlog.
const OutageCase kCases[] = {
    {"GroupThreeDayFileEnglish", 1, true, "(a folder stands where the file belongs)",
     "Recording data is written again. Nothing had to be dropped."},
    {"AlarmHistoryJapanese", 0, false, "(ファイルの場所にフォルダがあります)",
     "記録データの書き込みが再開しました。破棄されたデータ: 0 行、アラーム記録 176 件。"},
};

class WriteOutageReportTest : public test::RecordingTest,
                              public ::testing::WithParamInterface<OutageCase> {
protected:
    void SetUp() override {
        test::ensureQtApplication();
        RecordingTest::SetUp();
        settings(3).storingMode = kNormal;
        discardPendingAlarmHistory();
        languageFlag = GetParam().language;
        ASSERT_EQ(mkdir(dayFolder().c_str(), 0777), 0);
        window = std::make_unique<MainWindow>(MainWindow::WorkerControl{nullptr, nullptr});
    }
    void TearDown() override {
        languageFlag = 1;
        discardPendingAlarmHistory();
        discardJournal();
    }
    // Journal lines about `path` written so far, with their priority.
    int journalLines(const std::string& line) {
        flushJournal();
        return test::linesContaining(journal.text(), line);
    }
    // Half-second steps as the threads take them: the alarm events and the
    // group 3 sample of a record, the scheduler, the writer, the window.
    void steps(int count) {
        for (int step = 0; step < count; ++step) {
            clock.clock.advanceMs(500);
            for (int event = 0; event < 40 && !GetParam().dayFile; ++event) {
                appendAlarmHistory(1, 0, time, 0);
            }
            retryPendingAlarmHistory();
            AcquisitionRecord record = test::makeRecord(time);
            test::addGroupSample(record, 3, 0, step);
            test::feed(record);
            writerPass();
            window->handlePendingCommands();
            time = test::addMilliseconds(time, 500);
        }
    }
    Colour diskLamp() const { return window->screenImage().pixel(130, 30); }

    test::CapturedStderr journal;
    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<MainWindow> window;
};

TEST_P(WriteOutageReportTest, IsToldOnceAfterFiveSecondsAndItsEndOnce) {
    const Colour red = rgb(255, 0, 0);
    std::string path = GetParam().dayFile ? group3File() : alarmHistoryPath();
    ASSERT_EQ(mkdir(path.c_str(), 0777), 0);
    steps(11);  // 5 s since the first failure
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_NE(diskLamp(), red);

    steps(19);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(path + "\n" + GetParam().reason), std::string::npos)
        << boxes.texts[0];
    EXPECT_EQ(diskLamp(), red);
    // The journal has the failure once, in English whatever the screen shows.
    EXPECT_EQ(journalLines("<3>cannot write " + path + ": a folder stands where the file belongs"),
              1);

    ASSERT_EQ(rmdir(path.c_str()), 0);
    steps(2);
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], GetParam().resumed);
    EXPECT_NE(diskLamp(), red);
    EXPECT_EQ(journalLines("<5>writing " + path + " works again"), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, WriteOutageReportTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
