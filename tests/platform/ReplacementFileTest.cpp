#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ReplacementFile.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::fileExists;
using test::readFile;
using test::writeFile;

TEST(ReplacementFile, OldContentStaysUntilTheNewFileIsCommitted) {
    test::TempHome home;
    std::string path = home.path() + "/picture.bmp";
    writeFile(path, "old");
    {
        ReplacementFile file(path.c_str());
        ASSERT_TRUE(file.write("new ", 4));
        ASSERT_TRUE(file.write("content", 7));
        EXPECT_EQ(readFile(path), "old");
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_FALSE(fileExists(path + ".new"));
}

TEST(ReplacementFile, AbandonedFileLeavesTheOldOneAndNoTemporary) {
    test::TempHome home;
    std::string path = home.path() + "/picture.bmp";
    writeFile(path, "old");
    {
        ReplacementFile file(path.c_str());
        ASSERT_TRUE(file.write("half", 4));
    }
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(fileExists(path + ".new"));
}

TEST(ReplacementFile, FileThatCannotBeCreatedFailsEveryStep) {
    test::TempHome home;
    std::string path = home.path() + "/missing/picture.bmp";
    ReplacementFile file(path.c_str());
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_FALSE(file.commit());
    EXPECT_FALSE(fileExists(path));
}

TEST(ReplacementFile, PathTooLongFailsWithoutWriting) {
    test::TempHome home;
    std::string path = home.path() + "/" + std::string(5000, 'a');
    ReplacementFile file(path.c_str());
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_FALSE(file.commit());
}

}  // namespace
}  // namespace kvt
