#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/AlreadyRunning.h"
#include "app/Application.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/InstanceLock.h"
#include "platform/Paths.h"
#include "platform/SjisText.h"
#include "support/CapturedStderr.h"
#include "support/ChildPipe.h"
#include "support/CommaLocale.h"
#include "support/FakeClock.h"
#include "support/ScopedEnv.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::fileExists;
using test::readFile;
using test::ScopedEnv;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
        std::memset(&liveConfiguration, 0, sizeof liveConfiguration);
    }
    void TearDown() override {
        languageFlag = 1;
        store(exitRequested, 0);
    }

    test::TempHome home;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", home.path().c_str()};
    ScopedEnv language{"LC_ALL", "C"};
    test::ScopedFakeClock fake;
    test::ScriptedMessageBoxes boxes;
};

TEST_F(StartupTest, FreshHomeGetsTheDefaultSettingsAndAClearedRuntime) {
    store(exitRequested, 1);
    store(startFailed, 1);
    store(g_settingsChanged, 1);
    InstanceLock lock;
    ASSERT_EQ(startUp(lock), kExitNormal);
    EXPECT_TRUE(lock.owned());
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(languageFlag, 1);
    EXPECT_EQ(load(exitRequested), 0);
    EXPECT_EQ(load(startFailed), 0);
    EXPECT_EQ(load(g_settingsChanged), 0);
    EXPECT_EQ(currentGroup, 1);

    std::string saved = readFile(settingsFilePath());
    ASSERT_EQ(saved.size(), 51776u);
    const auto* record = reinterpret_cast<const ConfigurationRecord*>(saved.data());
    EXPECT_EQ(record->nodeEnabled[0], 1);
    EXPECT_EQ(record->nodeType[0], 14);
    EXPECT_EQ(record->oldestKeptDate[0], 2026);
    EXPECT_EQ(record->oldestKeptDate[1], 2);
    EXPECT_EQ(record->oldestKeptDate[2], 28);
    EXPECT_STREQ(record->pens[1][0].tag, "Group1 Pen1");

    // Socket support: a vanished peer must not end the process.
    struct sigaction action {};
    sigaction(SIGPIPE, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

TEST_F(StartupTest, JapaneseLocaleChoosesJapaneseTextsBeforeTheDefaultsAreWritten) {
    ScopedEnv japanese("LC_ALL", "ja_JP.UTF-8");
    InstanceLock lock;
    ASSERT_EQ(startUp(lock), kExitNormal);
    EXPECT_EQ(languageFlag, 0);
    char japaneseTag[17];
    defaultTag(japaneseTag, 0, 1, 0);
    EXPECT_STREQ(liveConfiguration.pens[1][0].tag, japaneseTag);
    EXPECT_NE(sjisToUtf8(liveConfiguration.pens[1][0].tag).find("グループ"), std::string::npos);
}

// A recorder with or without a window holds the lock in a child process
// while a second one starts, with or without a window, in any language.
struct SecondStart {
    const char* name;
    bool holderWindowless;
    bool windowless;
    const char* locale;
    const char* box;        // the message box shown, or "" for none
    const char* errorLine;  // the start of the line on standard error, or ""
};

void PrintTo(const SecondStart& start, std::ostream* os) { *os << start.name; }

class SecondInstance : public StartupTest, public ::testing::WithParamInterface<SecondStart> {};

TEST_P(SecondInstance, SaysWhoHoldsTheDataFolderAndLeavesEverythingAlone) {
    const SecondStart& given = GetParam();
    test::ChildPipe ready;
    test::ChildPipe release;
    pid_t first = fork();
    if (first == 0) {
        ready.keepOnlyWriting();
        release.keepOnlyReading();
        InstanceLock running;
        LockHolder self = LockHolder::thisProcess(given.holderWindowless);
        char byte = running.acquire(100, self) == InstanceLock::Outcome::Owned ? 1 : 0;
        if (!ready.send(byte)) _exit(3);
        if (!release.receive(byte)) _exit(4);
        _exit(running.owned() ? 0 : 5);
    }
    ready.keepOnlyReading();
    release.keepOnlyWriting();
    char byte = 0;
    ASSERT_TRUE(ready.receive(byte));
    ASSERT_EQ(byte, 1);

    ScopedEnv locale("LC_ALL", given.locale);
    InstanceLock lock;
    test::CapturedStderr errors;
    EXPECT_EQ(startUp(lock, given.windowless), kExitAlreadyRunning);
    std::string said = errors.text();
    EXPECT_FALSE(lock.owned());
    if (*given.box == '\0') {
        EXPECT_TRUE(boxes.texts.empty());
    } else {
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], given.box);
        EXPECT_EQ(boxes.buttons[0], kButtonsOk);
    }
    if (*given.errorLine == '\0') {
        EXPECT_EQ(said, "");
    } else {
        std::string line = std::string("kvt936p: already running: ") + given.errorLine +
                           ", process " + std::to_string(first) + ") holds the data folder " +
                           dataFolder() + "\n";
        EXPECT_EQ(said, line);
    }
    // Nothing of the start-up after the lock ran.
    EXPECT_FALSE(fileExists(settingsFilePath()));
    EXPECT_EQ(liveConfiguration.nodeEnabled[0], 0);

    ASSERT_TRUE(release.send(1));
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);  // the first instance still held its lock
}

constexpr const char* kWithoutWindow = "a recorder without a window (kvt936p --headless";

INSTANTIATE_TEST_SUITE_P(
    Holders, SecondInstance,
    ::testing::Values(
        SecondStart{"WindowAfterWindow", false, false, "C", "Already it is triggered!", ""},
        SecondStart{"WindowAfterHeadless", true, false, "C", kHeadlessHolderEnglish,
                    kWithoutWindow},
        SecondStart{"JapaneseWindowAfterHeadless", true, false, "ja_JP.UTF-8",
                    kHeadlessHolderJapanese, kWithoutWindow},
        SecondStart{"HeadlessAfterHeadless", true, true, "C", "", kWithoutWindow},
        SecondStart{"HeadlessAfterWindow", false, true, "C", "",
                    "the recorder with its window (kvt936p"}),
    [](const auto& info) { return std::string(info.param.name); });

// No lock file can be made at all (here a folder stands at its place):
// that is no running instance, and the recorder starts without the guard.
TEST_F(StartupTest, LockThatCannotBeMadeDoesNotStopStartUp) {
    ASSERT_EQ(mkdir(home.dataFolder().c_str(), 0700), 0);
    ASSERT_EQ(mkdir(InstanceLock::lockFilePath(), 0700), 0);
    InstanceLock lock;
    EXPECT_EQ(startUp(lock), kExitNormal);
    EXPECT_FALSE(lock.owned());
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(liveConfiguration.nodeEnabled[0], 1);
    EXPECT_TRUE(fileExists(settingsFilePath()));
}

TEST_F(StartupTest, DataFolderThatCannotBeMadeDoesNotStopStartUp) {
    std::string blocker = home.path() + "/not-a-folder";
    test::writeFile(blocker, "x");
    ScopedEnv badHome("HOME", (blocker + "/home").c_str());
    refreshDataPaths();
    InstanceLock lock;
    EXPECT_EQ(startUp(lock), kExitNormal);
    EXPECT_EQ(liveConfiguration.nodeEnabled[0], 1);  // defaults in memory
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);
    EXPECT_FALSE(fileExists(settingsFilePath()));
    EXPECT_TRUE(boxes.texts.empty());
}

// A German desktop: the toolkit takes the whole locale from the
// environment, and the program must still write numbers with a point.
// Exit status 0 when it does.
[[noreturn]] void makeApplicationUnderCommaLocale(const std::string& localeFolder) {
    setenv("LOCPATH", localeFolder.c_str(), 1);
    setenv("LC_ALL", test::kCommaLocaleName, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "kvt936p";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QApplication> application = makeApplication(argc, argv);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    bool toolkitTookTheLocale = std::strcmp(std::setlocale(LC_CTYPE, nullptr), "C") != 0;
    std::exit(toolkitTookTheLocale && std::strcmp(text, "1.5") == 0 ? 0 : 1);
}

// Runs in a fresh process, since a program has one application object.
TEST(ApplicationLocale, NumbersKeepThePointAfterTheToolkitSetsTheLocale) {
    std::string folder = test::commaLocaleFolder();
    ASSERT_FALSE(folder.empty()) << "cannot build the " << test::kCommaLocaleName << " locale";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(makeApplicationUnderCommaLocale(folder), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kvt
