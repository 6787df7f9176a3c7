// The recorder left to itself against the node simulator, one of whose two
// nodes is silent: started with --start it measures at once, the journal
// on standard error names the silent node within 10 s, and
// `kvt936p --status --json` shows its timeouts rising while the other
// node's good answers rise.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>
#include <vector>

#include "support/Eventually.h"
#include "support/NodeSimulator.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

struct NodeCounts {
    int requests = -1;
    int answers = -1;
    int timeouts = -1;
};

class UnattendedRecorderTest : public ::testing::Test {
protected:
    ~UnattendedRecorderTest() override {
        if (recorder > 0) test::awaitExit(recorder, 0);
    }

    std::string journal() const { return test::readFile(home.path() + "/output.txt"); }
    bool journalHas(const std::string& text, int timeoutMs) {
        return test::eventually([&] { return journal().find(text) != std::string::npos; },
                                timeoutMs);
    }
    test::ProgramRun askStatus(std::vector<std::string> options) {
        return test::runProgram(test::recorderProgram(), options, environment, 20000);
    }
    // Node 1 and node 2 as the status tells them; false without an answer.
    bool readCounts(NodeCounts& first, NodeCounts& second, QJsonObject& status) {
        test::ProgramRun run = askStatus({"--status", "--json"});
        if (run.exitCode != 0) return false;
        status = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
        QJsonArray nodes = status["nodes"].toArray();
        if (nodes.size() != 2) return false;
        for (NodeCounts* counts : {&first, &second}) {
            QJsonObject node = nodes[counts == &first ? 0 : 1].toObject();
            counts->requests = node["requests"].toInt();
            counts->answers = node["answers"].toInt();
            counts->timeouts = node["timeouts"].toInt();
        }
        return true;
    }

    test::TempHome home;
    std::vector<std::string> environment = test::bareEnvironment(home.path());
    test::NodeSimulatorProcess simulator;
    pid_t recorder = -1;
};

TEST_F(UnattendedRecorderTest, JournalNamesTheSilentNodeAndTheStatusShowsItsTimeoutsRising) {
    ASSERT_TRUE(simulator.start(
        {"--link", home.path() + "/.kvt936p/com1", "--nodes", "1,2", "--silent", "2"}));
    ASSERT_EQ(test::runProgram(test::simulatorSettingsProgram(), {"serial"}, environment).exitCode,
              0);
    recorder = test::startProgram(test::recorderProgram(), {"--start", "-platform", "offscreen"},
                                  environment, home.path() + "/output.txt");
    ASSERT_GT(recorder, 0);
    ASSERT_TRUE(journalHas("<5>measurement started in normal mode on COM1\n", 30000)) << journal();
    EXPECT_TRUE(journalHas("<4>node 2 stopped answering: no answer in time\n", 10000))
        << journal();
    EXPECT_EQ(journal().find("<5>kvt936p "), 0u) << journal();
    EXPECT_EQ(journal().find("node 1 "), std::string::npos) << journal();

    NodeCounts answering;
    NodeCounts silent;
    QJsonObject status;
    ASSERT_TRUE(readCounts(answering, silent, status)) << askStatus({"--status"}).err;
    EXPECT_EQ(status["mode"].toString().toStdString(), "normal");
    EXPECT_TRUE(status["measuring"].toBool());
    EXPECT_GT(silent.timeouts, 0);
    EXPECT_EQ(silent.answers, 0);
    NodeCounts answeringLater;
    NodeCounts silentLater;
    EXPECT_TRUE(test::eventually(
        [&] {
            return readCounts(answeringLater, silentLater, status) &&
                   answeringLater.answers > answering.answers &&
                   silentLater.timeouts > silent.timeouts;
        },
        30000))
        << "node 1 " << answeringLater.answers << ", node 2 " << silentLater.timeouts;
    EXPECT_EQ(answeringLater.answers, answeringLater.requests);
    EXPECT_TRUE(status["nodes"].toArray()[1].toObject()["last_answer"].isNull());

    // The node answers again: the journal says after how many failed exchanges.
    ASSERT_TRUE(simulator.command("answer 2"));
    EXPECT_TRUE(journalHas("<5>node 2 answers again after ", 20000)) << journal();

    test::awaitExit(recorder, 0);
    recorder = -1;
    test::ProgramRun none = askStatus({"--status"});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_NE(none.err.find("no recorder is running"), std::string::npos) << none.err;
}

}  // namespace
}  // namespace kvt
