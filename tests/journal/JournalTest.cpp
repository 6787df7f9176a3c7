// The journal: events from any number of threads become one line each with
// its priority, repeats are summed up to a line per minute, and what a full
// ring turns away is counted and told.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/LanguageText.h"
#include "display/WindowCommandActions.h"
#include "journal/Journal.h"
#include "journal/JournalLines.h"
#include "journal/JournalPosts.h"
#include "journal/JournalRing.h"
#include "journal/RepeatSummary.h"
#include "support/CapturedStderr.h"
#include "support/ScriptedMessageBoxes.h"

namespace kvt {
namespace {

using test::linesContaining;

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { discardJournal(); }
    void TearDown() override {
        stopJournal();
        discardJournal();
        installMessageBoxObserver(nullptr);
        languageFlag = 1;
    }
    test::CapturedStderr captured;
};

TEST_F(JournalTest, EventsOfManyThreadsAreEachWrittenOnceInTheirOrderOrCountedAsLost) {
    startJournal();
    constexpr int kThreads = 4;
    constexpr int kEach = 400;
    std::vector<std::thread> posters;
    for (int thread = 0; thread < kThreads; ++thread) {
        posters.emplace_back([thread] {
            for (int index = 0; index < kEach; ++index) {
                journalMessageShown("t" + std::to_string(thread) + "-" + std::to_string(index),
                                    false);
            }
        });
    }
    for (std::thread& poster : posters) poster.join();
    stopJournal();
    std::string text = captured.text();
    int written = 0;
    int lost = 0;
    int nextOf[kThreads] = {};
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = text.substr(start, end - start);
        int thread = 0;
        int index = 0;
        int count = 0;
        if (std::sscanf(line.c_str(), "<5>message: t%d-%d", &thread, &index) == 2) {
            EXPECT_GE(index, nextOf[thread]) << line;  // in order, never twice
            nextOf[thread] = index + 1;
            ++written;
        } else if (std::sscanf(line.c_str(), "<4>journal: %d events lost", &count) == 1) {
            lost += count;
        } else {
            ADD_FAILURE() << line;
        }
    }
    EXPECT_EQ(written + lost, kThreads * kEach);
    EXPECT_GT(written, static_cast<int>(JournalRing::kCapacity) - 1);
}

TEST_F(JournalTest, AFullRingTurnsEventsAwayAndTheJournalSaysHowMany) {
    const int posted = JournalRing::kCapacity + 44;
    for (int index = 0; index < posted; ++index) journalNodeSilent(index % 31 + 1, kCrcError);
    flushJournal();
    std::string text = captured.text();
    // Repeats of a node are summed up; the first of each node is told.
    EXPECT_EQ(linesContaining(text, "stopped answering: CRC error"), 31) << text;
    EXPECT_EQ(linesContaining(text, "<4>journal: 44 events lost while it fell behind"), 1);
    stopJournal();  // the held-back repeats as summaries
    EXPECT_EQ(linesContaining(captured.text(), "more times in the last minute]"), 31);
}

TEST_F(JournalTest, MessageBoxesAreToldInEnglishWhateverTheScreenLanguage) {
    test::ScriptedMessageBoxes boxes;
    installMessageBoxObserver(journalMessageShown);
    languageFlag = 0;
    bilingualMessageBox("Are you sure you want to stop?", "停止してよろしいですか？",
                        kButtonsOkCancel);
    store(failedNode, 3);
    reportNodeError();
    flushJournal();
    EXPECT_EQ(boxes.texts.back(), "ノードエラー [3]");
    EXPECT_EQ(captured.text(),
              "<5>question: Are you sure you want to stop?\n<3>message: Node error [3]\n");
}

JournalEvent eventOf(JournalEventKind kind, int number, int reason, int64_t count,
                     const char* subject = "", const char* detail = "") {
    JournalEvent event;
    event.kind = kind;
    event.number = number;
    event.reason = reason;
    event.count = count;
    event.count2 = 2;
    setJournalText(event.subject, subject);
    setJournalText(event.detail, detail);
    return event;
}

TEST(JournalLines, EachLineCarriesItsPriorityAndOneLineOfEnglish) {
    using Kind = JournalEventKind;
    struct Case {
        JournalEvent event;
        int times;
        const char* line;
    };
    const Case cases[] = {
        {eventOf(Kind::NodeSilent, 2, kNoAnswer, 0), 0,
         "<4>node 2 stopped answering: no answer in time\n"},
        {eventOf(Kind::NodeAnswersAgain, 2, 0, 17), 3,
         "<5>node 2 answers again after 17 failed exchanges [3 more times in the last minute]\n"},
        {eventOf(Kind::GatewayLost, 0, kGatewayAnswerIncomplete, 0, "10.0.0.5:502"), 0,
         "<3>gateway 10.0.0.5:502: connection lost: no whole answer in time\n"},
        {eventOf(Kind::MeasurementStarted, 0, 0, 0, "normal mode through gateway 10.0.0.5:502"),
         0, "<5>measurement started in normal mode through gateway 10.0.0.5:502\n"},
        {eventOf(Kind::MeasurementStartFailed, 7, 0, 0), 0,
         "<3>measurement did not start: node 7 does not answer\n"},
        {eventOf(Kind::SettingsKept, 0, 0, 0, "/h/S.LPPU", "/h/S.LPPU.damaged-1"), 0,
         "<4>settings file /h/S.LPPU was damaged; kept as /h/S.LPPU.damaged-1\n"},
        {eventOf(Kind::WriteFailed, 0, 0, 120, "/d/GR3.CSV", "Is a directory"), 0,
         "<3>cannot write /d/GR3.CSV: Is a directory (120 rows and 2 alarm records dropped so "
         "far)\n"},
        {eventOf(Kind::WriteRecovered, 0, 0, 120, "/d/GR3.CSV"), 0,
         "<5>writing /d/GR3.CSV works again (120 rows and 2 alarm records dropped)\n"},
        {eventOf(Kind::MessageShown, 0, 0, 0, "two\nlines"), 0, "<5>message: two lines\n"},
        {eventOf(Kind::PublisherInfo, 0, 0, 0, "connected to the broker b:1883"), 0,
         "<6>publish: connected to the broker b:1883\n"},
        {eventOf(Kind::PublisherDropped, 0, 0, 40, "the spool is full; the oldest went first"), 2,
         "<4>publish: 40 messages dropped: the spool is full; the oldest went first [2 more times in "
         "the last minute]\n"},
        {eventOf(Kind::DroppedAtEnd, 3, 0, 40, "/d/GR3.CSV", "Is a directory"), 0,
         "<3>group 3: 40 rows could not be written before the end and are dropped (cannot write "
         "/d/GR3.CSV: Is a directory)\n"},
        {eventOf(Kind::DroppedAtEnd, -1, 0, 2), 0,
         "<3>alarm history: 2 alarm records could not be written before the end and are "
         "dropped\n"},
    };
    for (const Case& expected : cases) {
        char line[kJournalLineBytes];
        int length = formatJournalLine(expected.event, expected.times, line, sizeof line);
        EXPECT_EQ(std::string(line, length), expected.line);
    }
}

TEST(RepeatSummary, OneLinePerSubjectAndMinuteThenOneSummaryWithTheCountsAddedUp) {
    using Kind = JournalEventKind;
    struct Step {
        int64_t atMs;
        JournalEvent event;
        bool written;
    };
    const Step steps[] = {
        {0, eventOf(Kind::NodeSilent, 2, kNoAnswer, 0), true},
        {10000, eventOf(Kind::NodeSilent, 2, kNoAnswer, 0), false},
        {20000, eventOf(Kind::NodeSilent, 2, kNoAnswer, 0), false},
        {25000, eventOf(Kind::NodeSilent, 2, kCrcError, 0), true},  // another reason
        {30000, eventOf(Kind::NodeSilent, 3, kNoAnswer, 0), true},  // another node
        {40000, eventOf(Kind::NodeAnswersAgain, 2, 0, 5), true},
        {45000, eventOf(Kind::NodeAnswersAgain, 2, 0, 3), false},
        {50000, eventOf(Kind::NodeAnswersAgain, 2, 0, 7), false},
        {55000, eventOf(Kind::MessageShown, 0, 0, 0, "same"), true},  // never summed up
        {56000, eventOf(Kind::MessageShown, 0, 0, 0, "same"), true},
    };
    RepeatSummary summary;
    for (Step step : steps) {
        step.event.monotonicMs = step.atMs;
        EXPECT_EQ(summary.admit(step.event), step.written) << step.atMs;
    }
    JournalEvent told;
    int times = 0;
    EXPECT_EQ(summary.nextDueMs(), 60000);
    EXPECT_FALSE(summary.takeDueSummary(59999, told, times));
    ASSERT_TRUE(summary.takeDueSummary(60000, told, times));
    EXPECT_EQ(told.kind, Kind::NodeSilent);
    EXPECT_EQ(times, 2);
    EXPECT_FALSE(summary.takeDueSummary(60000, told, times));
    ASSERT_TRUE(summary.takeDueSummary(100000, told, times));
    EXPECT_EQ(told.kind, Kind::NodeAnswersAgain);
    EXPECT_EQ(times, 2);
    EXPECT_EQ(told.count, 10);  // failed exchanges of both held-back events
    EXPECT_EQ(summary.nextDueMs(), -1);  // nothing held back: the journal may sleep

    // The summary counts as the minute's line.
    JournalEvent again = eventOf(Kind::NodeSilent, 2, kNoAnswer, 0);
    again.monotonicMs = 70000;
    EXPECT_FALSE(summary.admit(again));
    again.monotonicMs = 120000;
    EXPECT_TRUE(summary.admit(again));
}

}  // namespace
}  // namespace kvt
