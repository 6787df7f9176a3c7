#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "publish/Spool.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// The payloads from the oldest message on.
std::vector<std::string> payloadsOf(const Spool& spool) {
    std::vector<std::string> payloads;
    std::string topic;
    std::string payload;
    for (uint64_t at = spool.first(), next = 0; at < spool.end(); at = next) {
        if (!spool.read(at, topic, payload, next)) break;
        payloads.push_back(payload);
    }
    return payloads;
}

// Messages of 12 + 3 + 10 bytes: a 100-byte spool holds four.
std::string payload(int number) { return "message-" + std::to_string(number / 10) + std::to_string(number % 10); }

TEST(Spool, KeepsTheNewestWithinItsSizeInOrderAcrossAReopen) {
    test::TempHome home;
    std::string path = home.path() + "/publish.spool";
    std::string problem;
    {
        Spool spool;
        ASSERT_TRUE(spool.open(path, 100, problem)) << problem;
        for (int number = 0; number < 10; ++number) ASSERT_TRUE(spool.append("a/b", payload(number)));
        EXPECT_EQ(spool.droppedCount(), 6u);
        EXPECT_EQ(payloadsOf(spool), (std::vector<std::string>{payload(6), payload(7), payload(8), payload(9)}));
        uint64_t next = 0;
        std::string topic;
        std::string text;
        ASSERT_TRUE(spool.read(spool.first(), topic, text, next));
        EXPECT_EQ(topic, "a/b");
        spool.release(next);
    }
    Spool reopened;
    ASSERT_TRUE(reopened.open(path, 100, problem));
    EXPECT_EQ(reopened.messageCount(), 3u);
    EXPECT_EQ(payloadsOf(reopened), (std::vector<std::string>{payload(7), payload(8), payload(9)}));
    uint64_t end = reopened.end();
    reopened.release(end);
    EXPECT_EQ(reopened.messageCount(), 0u);
    EXPECT_EQ(test::readFile(path).size(), 64u);  // back to its header
}

TEST(Spool, KeepsTheSoundMessagesBeforeATornOne) {
    test::TempHome home;
    std::string path = home.path() + "/publish.spool";
    std::string problem;
    {
        Spool spool;
        ASSERT_TRUE(spool.open(path, 1000, problem));
        for (int number = 0; number < 3; ++number) spool.append("a/b", payload(number));
    }
    // The last message's bytes cut off, as by a power failure while writing.
    ASSERT_EQ(truncate(path.c_str(), 64 + 2 * 25 + 20), 0);
    Spool reopened;
    ASSERT_TRUE(reopened.open(path, 1000, problem));
    EXPECT_EQ(payloadsOf(reopened), (std::vector<std::string>{payload(0), payload(1)}));
    reopened.append("a/b", payload(3));
    EXPECT_EQ(payloadsOf(reopened), (std::vector<std::string>{payload(0), payload(1), payload(3)}));
}

}  // namespace
}  // namespace kvt
