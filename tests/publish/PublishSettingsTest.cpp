#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "publish/PublishSettings.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

TEST(PublishSettings, ReadsEveryKeyAndFillsTheDefaults) {
    PublishConfig full = parsePublishConfig(
        "# broker of hall 3\nhost = broker.local\nport=8883\nclient_id = rec-7\n"
        "topic_prefix = plant/hall3\nusername = rec\npassword_file = /etc/pw\n"
        "ca_file = /etc/ca.pem\nqos = 2\nspool_limit_mib = 16\n",
        "pc1");
    ASSERT_EQ(full.outcome, PublishConfig::Outcome::Valid) << full.problem;
    EXPECT_EQ(full.settings.host, "broker.local");
    EXPECT_EQ(full.settings.port, 8883);
    EXPECT_EQ(full.settings.clientId, "rec-7");
    EXPECT_EQ(full.settings.topicPrefix, "plant/hall3");
    EXPECT_EQ(full.settings.caFile, "/etc/ca.pem");
    EXPECT_EQ(full.settings.qos, 2);
    EXPECT_EQ(full.settings.spoolLimitMib, 16);

    PublishConfig least = parsePublishConfig("host=10.0.0.5", "pc1");
    ASSERT_EQ(least.outcome, PublishConfig::Outcome::Valid);
    EXPECT_EQ(least.settings.port, 1883);
    EXPECT_EQ(least.settings.qos, 1);
    EXPECT_EQ(least.settings.spoolLimitMib, 256);
    EXPECT_EQ(least.settings.topicPrefix, "kvt936p/pc1");
    EXPECT_EQ(least.settings.clientId, "kvt936p-pc1");
}

TEST(PublishSettings, RefusesWhatItCannotUseAndSaysWhere) {
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"host = b\nhots = c\n", "line 2: hots: unknown key"},
        {"host = b\nport = 0\n", "line 2: port: needs a port 1-65535"},
        {"host = b\nport = 18x3\n", "line 2: port: needs a port 1-65535"},
        {"host = b\nqos = 3\n", "line 2: qos: needs 0, 1 or 2"},
        {"host = b\nspool_limit_mib = -1\n", "line 2: spool_limit_mib: needs a size 1-65536"},
        {"host b\n", "line 1: no \"key = value\""},
        {"host = b\ntopic_prefix = plant/#\n", "line 2: topic_prefix: needs no + or # and no final /"},
        {"host =\n", "line 1: host: needs a value"},
        {"port = 1883\n", "no host"},
        {"host = b\npassword_file = /etc/pw\n", "password_file needs username"},
    };
    for (const auto& entry : cases) {
        PublishConfig config = parsePublishConfig(entry.text, "pc1");
        EXPECT_EQ(config.outcome, PublishConfig::Outcome::Invalid) << entry.text;
        EXPECT_EQ(config.problem, entry.problem) << entry.text;
    }
}

TEST(PublishSettings, APipeInPlaceOfTheFileOrThePasswordFileIsRefusedNotWaitedOn) {
    test::TempHome home;
    const std::string conf = home.path() + "/publish.conf";
    const std::string password = home.path() + "/password";
    for (const std::string& pipe : {conf, password}) {
        unlink(conf.c_str());
        if (pipe == password) test::writeFile(conf, "host = b\nusername = u\npassword_file = " + password);
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
        PublishConfig config = readPublishConfig(conf);
        EXPECT_EQ(config.outcome, PublishConfig::Outcome::Invalid) << pipe;
        EXPECT_NE(config.problem.find("cannot be read"), std::string::npos) << config.problem;
    }
}

}  // namespace
}  // namespace kvt
