// The publisher against a real mosquitto on a loopback port.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "app/RunJournal.h"
#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "export/IsoTime.h"
#include "platform/Paths.h"
#include "publish/Publisher.h"
#include "recording/CsvRow.h"
#include "status/StatusReport.h"
#include "support/CapturedStderr.h"
#include "support/DayFiles.h"
#include "support/Eventually.h"
#include "support/MqttBroker.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

// After the recorder's headers, which Qt's keyword macros ("slots") would break.
#include <QJsonDocument>
#include <QJsonObject>

namespace kvt {
namespace {

std::mutex reportsMutex;
std::vector<std::string> reports;

void keepReport(int, const char* text, uint64_t) {
    std::lock_guard<std::mutex> lock(reportsMutex);
    reports.push_back(text);
}

class PublisherTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDataFolder();
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        test::makePensPlain(liveConfiguration);
        publishLiveConfiguration();
        setPublisherReportSink(keepReport);
        reports.clear();
        int64_t start = epochMillisecondsOf({2026, 12, 10}, 9, 0, 0, 0, 9 * 3600);
        samples = test::samplesEvery(start, 500, 400);
    }
    void TearDown() override {
        stopPublisher();
        setPublisherReportSink(nullptr);
    }

    // Hands rows `first` to `last` - 1 over as the writer does, `pauseMs` apart.
    void feed(int first, int last, int pauseMs = 0) {
        char row[kMaxRowLength];
        for (int index = first; index < last; ++index) {
            int length = formatCsvRow(row, liveConfiguration, 1, samples[index]);
            publishRow(1, samples[index].time, row, length);
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
    }

    static std::string expectedTime(int index) {
        char text[32];
        std::snprintf(text, sizeof text, "2026-12-10T09:%02d:%02d.%03d+09:00", index / 120,
                      index / 2 % 60, index % 2 * 500);
        return text;
    }

    // The publisher object of `kvt936p --status --json`.
    static QJsonObject statusOfPublisher() {
        std::string json = statusJson(gatherRecorderStatus(liveConfiguration, true));
        return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()["publisher"].toObject();
    }

    static std::vector<std::string> timesOf(const std::vector<std::string>& payloads) {
        std::vector<std::string> times;
        for (const std::string& payload : payloads) times.push_back(payload.substr(10, kIsoTimeLength));
        return times;
    }

    test::TempHome home;
    test::ScopedTimeZone zone{"Asia/Tokyo"};
    std::vector<SampleData> samples;
};

TEST_F(PublisherTest, ABrokerStoppedForTwentySecondsLosesNoRowAndDuplicatesNone) {
    test::MqttBroker broker;
    ASSERT_TRUE(broker.start());
    test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " + std::to_string(broker.port()) +
                                                "\ntopic_prefix = plant/rec\n");
    test::MqttSubscriber subscriber(broker.port(), "plant/rec/group/1");
    ASSERT_TRUE(test::eventually([&] { return subscriber.connected(); }, 10000));
    startPublisher();
    ASSERT_TRUE(test::eventually([] { return publisherStatus().connected; }, 10000));

    feed(0, 100);
    // Stopped with nothing in flight: a message the broker took but did not
    // acknowledge before it went comes again (at least once, as QoS 1 has it).
    ASSERT_TRUE(test::eventually([&] {
        return subscriber.payloads().size() == 100 && publisherStatus().spooledMessages == 0;
    }, 10000));
    broker.stop();
    feed(100, 300, 100);  // 20 s without a broker
    EXPECT_FALSE(publisherStatus().connected);
    EXPECT_GT(publisherStatus().spooledMessages, 0u);
    ASSERT_TRUE(broker.start());
    feed(300, 400);

    ASSERT_TRUE(test::eventually([&] { return subscriber.payloads().size() >= 400; }, 90000))
        << subscriber.payloads().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // nothing more comes
    std::vector<std::string> times = timesOf(subscriber.payloads());
    ASSERT_EQ(times.size(), 400u);
    for (int index = 0; index < 400; ++index) ASSERT_EQ(times[index], expectedTime(index)) << index;
    EXPECT_EQ(publisherStatus().droppedMessages, 0u);
    std::lock_guard<std::mutex> lock(reportsMutex);
    // Each once: the retries that failed alike added nothing.
    const char* const told[] = {"connected to the broker", "lost the connection to the broker",
                                "cannot reach the broker", "connected again to the broker"};
    ASSERT_EQ(reports.size(), std::size(told));
    for (size_t index = 0; index < std::size(told); ++index) {
        EXPECT_EQ(reports[index].rfind(told[index], 0), 0u) << reports[index];
    }
}

TEST_F(PublisherTest, AWrongPasswordOrNoBrokerIsReportedOnceAndRowsWaitInTheSpool) {
    test::MqttBroker broker("secret");
    ASSERT_TRUE(broker.start());
    test::writeFile(home.path() + "/password", "wrong\n");
    const struct {
        std::string conf;
        const char* report;
    } cases[] = {
        {"host = 127.0.0.1\nport = " + std::to_string(broker.port()) +
             "\nusername = recorder\npassword_file = " + home.path() + "/password\n",
         "refused by the broker"},
        {"host = 127.0.0.1\nport = " + std::to_string(test::unusedPort()) + "\n",
         "cannot reach the broker"},
    };
    for (const auto& entry : cases) {
        test::PublishConfFile conf(home.path(), entry.conf);
        test::CapturedStderr journal;
        beginRunJournal();  // the publisher's reports go to the journal
        startPublisher();
        feed(0, 2);
        ASSERT_TRUE(test::eventually([] { return statusOfPublisher()["spooled"].toInt() == 2; }));
        feed(2, 5);
        // Attempts at once, after 1 s and after 3 s.
        std::this_thread::sleep_for(std::chrono::milliseconds(4500));
        QJsonObject status = statusOfPublisher();
        EXPECT_FALSE(status["connected"].toBool());
        EXPECT_EQ(status["spooled"].toInt(), 5) << entry.report;
        EXPECT_EQ(status["broker"].toString().toStdString().rfind("127.0.0.1:", 0), 0u);
        EXPECT_NE(status["last_error"].toString().toStdString().find(entry.report), std::string::npos);
        stopPublisher();
        endRunJournal(0);
        EXPECT_EQ(test::linesContaining(journal.text(), "publish: "), 1) << journal.text();
        EXPECT_EQ(test::linesContaining(journal.text(), std::string("<4>publish: ") + entry.report), 1);
        unlink((home.dataFolder() + "/publish.spool").c_str());
    }
}

TEST_F(PublisherTest, AFullSpoolDropsTheOldestAndTheJournalSumsTheDropsUp) {
    test::PublishConfFile conf(home.path(), "host = 127.0.0.1\nport = " + std::to_string(test::unusedPort()) +
                                                "\nspool_limit_mib = 1\n");
    const int rows = 6000;  // several MiB of messages
    samples = test::samplesEvery(epochMillisecondsOf({2026, 12, 10}, 9, 0, 0, 0, 9 * 3600), 500, rows);
    test::CapturedStderr journal;
    beginRunJournal();
    startPublisher();
    for (int half : {rows / 2, rows}) {
        feed(half - rows / 2, half);
        ASSERT_TRUE(test::eventually([half] {
            PublisherStatus status = publisherStatus();
            return status.spooledMessages + status.droppedMessages == static_cast<uint64_t>(half);
        }));
    }
    stopPublisher();
    endRunJournal(0);
    // The first drops at once, the later ones summed up in one line.
    EXPECT_GT(publisherStatus().droppedMessages, 0u);
    EXPECT_EQ(test::linesContaining(journal.text(), "messages dropped: the spool is full"), 2)
        << journal.text();
    EXPECT_EQ(test::linesContaining(journal.text(), "went first [1 more time in the last minute]"), 1);
}

}  // namespace
}  // namespace kvt
