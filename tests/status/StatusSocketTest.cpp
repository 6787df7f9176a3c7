// The status socket of a running recorder, asked as `kvt936p --status`
// asks: what it answers, to whom, where, and that it costs nothing idle.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <chrono>
#include <string>
#include <thread>

#include "ProgramVersion.h"
#include "acquisition/NodeHealth.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/PublishedConfiguration.h"
#include "journal/Journal.h"
#include "journal/JournalPosts.h"
#include "platform/Clock.h"
#include "platform/LocalSocket.h"
#include "status/StatusClient.h"
#include "status/StatusProtocol.h"
#include "status/StatusServer.h"
#include "support/Eventually.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"
#include "support/ThreadWakeups.h"

namespace kvt {
namespace {

class StatusSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        liveConfiguration.operatingMode = kNormalMode;
        liveConfiguration.nodeEnabled[1] = 1;  // nodes 1 and 2
        publishLiveConfiguration();
        resetNodeHealth();
    }
    void TearDown() override {
        stopStatusServer();
        resetNodeHealth();
    }

    std::string socketPath() const { return runtime.path() + "/" + kStatusSocketName; }

    // One request as the client sends it; the whole answer.
    std::string ask(const std::string& request) {
        int64_t deadline = monotonicMilliseconds() + kStatusExchangeLimitMs;
        int connection = connectLocal(socketPath().c_str(), deadline);
        if (connection < 0) return "(no connection)";
        std::string answer;
        std::string line = request + "\n";
        sendAllBefore(connection, line.data(), line.size(), deadline);
        receiveBefore(connection, answer, 1 << 20, '\0', deadline);
        close(connection);
        return answer;
    }

    test::TempHome runtime;  // mkdtemp: a folder nobody else may enter
    test::ScopedEnv runtimeVariable{"XDG_RUNTIME_DIR", runtime.path().c_str()};
};

TEST_F(StatusSocketTest, AnswersWithTheNodeCountersAndSaysWhenItDoesNotKnowARequest) {
    for (int exchange = 0; exchange < 3; ++exchange) noteExchange(1, 0);
    noteExchange(2, kNoAnswer);
    noteExchange(2, kNoAnswer);
    noteExchange(2, kCrcError);
    ASSERT_TRUE(startStatusServer(false));
    EXPECT_EQ(std::string(statusSocketPath()), socketPath());
    struct stat file {};
    ASSERT_EQ(lstat(socketPath().c_str(), &file), 0);
    EXPECT_TRUE(S_ISSOCK(file.st_mode));
    EXPECT_EQ(file.st_mode & 0777, 0600u);

    std::string answer = ask(kRequestStatusJson);
    ASSERT_EQ(answer.rfind(kAnswerOk, 0), 0u) << answer;
    QJsonParseError error;
    QJsonObject status = QJsonDocument::fromJson(QByteArray::fromStdString(answer.substr(3)),
                                                 &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << answer;
    EXPECT_EQ(status["version"].toString().toStdString(), KVT_PROGRAM_VERSION);
    EXPECT_EQ(status["holder"].toString().toStdString(), "window");
    EXPECT_EQ(status["mode"].toString().toStdString(), "normal");
    EXPECT_FALSE(status["measuring"].toBool());
    EXPECT_TRUE(status["write_failure"].isNull());
    QJsonArray nodes = status["nodes"].toArray();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[0].toObject()["answers"].toInt(), 3);
    // ISO 8601 with the offset, as "+09:00".
    QRegularExpression iso(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$)");
    EXPECT_TRUE(iso.match(nodes[0].toObject()["last_answer"].toString()).hasMatch());
    QJsonObject silent = nodes[1].toObject();
    EXPECT_EQ(silent["node"].toInt(), 2);
    EXPECT_EQ(silent["requests"].toInt(), 3);
    EXPECT_EQ(silent["timeouts"].toInt(), 2);
    EXPECT_EQ(silent["bad_answers"].toInt(), 1);
    EXPECT_TRUE(silent["last_answer"].isNull());
    EXPECT_EQ(status["groups"].toArray().size(), kTrendGroupCount);

    EXPECT_NE(ask(kRequestStatusText).find("\n    2         3         0         2"),
              std::string::npos);
    EXPECT_EQ(ask("raise"), kAnswerUnknown);  // an older recorder meets a later request
    EXPECT_EQ(printRecorderStatus(false), 0);

    stopStatusServer();
    EXPECT_FALSE(test::fileExists(socketPath()));
    EXPECT_EQ(printRecorderStatus(true), kExitNoRecorder);
}

TEST_F(StatusSocketTest, TakesOverTheSocketOfARecorderGoneAndLeavesOneThatAnswers) {
    int left = listenLocal(socketPath().c_str());  // a recorder that died
    ASSERT_GE(left, 0);
    close(left);
    ASSERT_TRUE(startStatusServer(false));
    EXPECT_EQ(ask(kRequestStatusText).rfind(kAnswerOk, 0), 0u);
    stopStatusServer();

    int other = listenLocal(socketPath().c_str());  // another recorder, running
    ASSERT_GE(other, 0);
    EXPECT_FALSE(startStatusServer(false));
    EXPECT_TRUE(test::fileExists(socketPath()));
    close(other);
}

TEST_F(StatusSocketTest, TheJournalAndTheStatusServerSleepWhileNothingHappens) {
    startJournal();
    ASSERT_TRUE(startStatusServer(false));
    journalMeasurementStopped();
    flushJournal();
    ask(kRequestStatusJson);
    // Both back asleep: no switch within a moment (however slow the machine).
    long journal = -1;
    long server = -1;
    ASSERT_TRUE(test::eventually([&] {
        long journalBefore = test::threadWakeups("kvt-journal");
        long serverBefore = test::threadWakeups("kvt-status");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        journal = test::threadWakeups("kvt-journal");
        server = test::threadWakeups("kvt-status");
        return journal >= 0 && server >= 0 && journal == journalBefore && server == serverBefore;
    }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(test::threadWakeups("kvt-journal"), journal);
    EXPECT_EQ(test::threadWakeups("kvt-status"), server);
    stopJournal();
    discardJournal();
}

}  // namespace
}  // namespace kvt
