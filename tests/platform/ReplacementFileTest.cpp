#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/ReplacementFile.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::entriesIn;
using test::readFile;
using test::writeFile;

// The old content stays until a commit puts the whole new file in its place;
// an abandoned replacement leaves the old one and no temporary file.
TEST(ReplacementFile, OldContentStaysUntilTheNewFileIsCommitted) {
    test::TempHome home;
    std::string path = home.path() + "/picture.bmp";
    writeFile(path, "old");
    {
        ReplacementFile abandoned(path.c_str());
        ASSERT_TRUE(abandoned.write("half", 4));
    }
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(entriesIn(home.path()), 1);
    {
        ReplacementFile file(path.c_str());
        ASSERT_TRUE(file.write("new ", 4));
        ASSERT_TRUE(file.write("content", 7));
        EXPECT_EQ(readFile(path), "old");
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_EQ(entriesIn(home.path()), 1);
}

// A file that cannot be created (no folder, a name too long) fails every
// step and writes nothing.
TEST(ReplacementFile, FileThatCannotBeCreatedFailsEveryStep) {
    test::TempHome home;
    for (const std::string& path :
         {home.path() + "/missing/picture.bmp", home.path() + "/" + std::string(5000, 'a')}) {
        ReplacementFile file(path.c_str());
        EXPECT_FALSE(file.write("x", 1)) << path.size();
        EXPECT_FALSE(file.commit()) << path.size();
    }
    EXPECT_EQ(entriesIn(home.path()), 0);
}

// The midnight cleanup saves the settings from the scheduler thread while
// the window may save a settings change: each replacement must put a whole
// file in place and report its own outcome truthfully.
TEST(ReplacementFile, OverlappingReplacementsEachLeaveAWholeFile) {
    test::TempHome home;
    const std::string path = home.path() + "/KVT936P.LPPU";
    const std::string first(51776, 'A');
    const std::string second(51776, 'B');
    std::atomic<int> round{0};
    std::atomic<int> failures{0};
    std::atomic<int> torn{0};
    constexpr int kRounds = 300;
    auto replacer = [&](const std::string& content, int parity) {
        for (int turn = 0; turn < kRounds; ++turn) {
            while (round.load() < 2 * turn + parity) std::this_thread::yield();
            round.fetch_add(1);  // lets the other thread start its replacement at once
            ReplacementFile file(path.c_str());
            if (!file.write(content.data(), content.size()) || !file.commit()) {
                failures.fetch_add(1);
            }
            std::string now = readFile(path);
            if (now != first && now != second) torn.fetch_add(1);
        }
    };
    std::thread one(replacer, std::cref(first), 0);
    std::thread other(replacer, std::cref(second), 1);
    one.join();
    other.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(entriesIn(home.path()), 1);
}

}  // namespace
}  // namespace kvt
