#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/InstanceLock.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Outcome = InstanceLock::Outcome;

class InstanceLockTest : public ::testing::Test {
protected:
    test::TempHome home;
    std::string lockPath = home.dataFolder() + "/KVT936PU-MUTEX";
};

TEST_F(InstanceLockTest, LockInTheDataFolderNamesItsHolderAndRefusesASecondInstance) {
    InstanceLock first;
    ASSERT_EQ(first.acquire(100, LockHolder::thisProcess(true)), Outcome::Owned);
    EXPECT_EQ(std::string(InstanceLock::lockFilePath()), lockPath);
    struct stat file {};
    ASSERT_EQ(lstat(lockPath.c_str(), &file), 0);
    EXPECT_TRUE(S_ISREG(file.st_mode));
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(test::readFile(lockPath), std::to_string(getpid()) + "\nheadless\n");

    pid_t child = fork();
    if (child == 0) {
        InstanceLock second;
        bool refused = second.acquire(100) == Outcome::HeldElsewhere;
        _exit(refused && second.holder().pid == getppid() && second.holder().windowless ? 7 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_TRUE(first.owned());
}

TEST_F(InstanceLockTest, LockOfACrashedInstanceDoesNotBlockTheNextStart) {
    pid_t child = fork();
    if (child == 0) {
        InstanceLock crashed;
        if (crashed.acquire() != Outcome::Owned) _exit(3);
        std::abort();  // ends without releasing
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    InstanceLock next;
    EXPECT_EQ(next.acquire(), Outcome::Owned);
    EXPECT_EQ(test::readFile(lockPath), std::to_string(getpid()) + "\nwindow\n");
}

// Whatever stands at the lock's place that is not a plain file of the
// account's own gives no lock, and is neither followed nor touched; it is
// not mistaken for a running instance either.
TEST_F(InstanceLockTest, NoLockFileOfOurOwnIsUnavailableNotRunning) {
    ASSERT_EQ(mkdir(home.dataFolder().c_str(), 0700), 0);
    std::string target = home.path() + "/target";
    test::writeFile(target, "keep");
    ASSERT_EQ(symlink(target.c_str(), lockPath.c_str()), 0);
    InstanceLock linked;
    EXPECT_EQ(linked.acquire(), Outcome::Unavailable);
    EXPECT_EQ(linked.unavailableReason(), ELOOP);
    EXPECT_EQ(test::readFile(target), "keep");
    unlink(lockPath.c_str());

    ASSERT_EQ(mkdir(lockPath.c_str(), 0700), 0);
    InstanceLock folder;
    EXPECT_EQ(folder.acquire(), Outcome::Unavailable);
}

// How two recorders used to get onto one data folder, when the lock lived
// in the runtime folder or in TMPDIR: one start with a runtime folder and
// one without (ssh, su) took two different locks; and a file another
// account put at the temporary lock's place switched the guard off. The
// lock in the data folder holds in both.
struct OldLockDefeat {
    const char* name;
    bool firstHasRuntimeFolder;
    bool secondHasRuntimeFolder;
    bool otherAccountsFileAtTemporaryLock;
};

void PrintTo(const OldLockDefeat& defeat, std::ostream* os) { *os << defeat.name; }

class OldLockDefeats : public InstanceLockTest,
                       public ::testing::WithParamInterface<OldLockDefeat> {};

TEST_P(OldLockDefeats, SecondRecorderOnTheDataFolderIsStillRefused) {
    const OldLockDefeat& defeat = GetParam();
    std::string temporary = home.path() + "/tmp";
    ASSERT_EQ(mkdir(temporary.c_str(), 01777), 0);
    test::ScopedEnv temporaryFolder("TMPDIR", temporary.c_str());
    if (defeat.otherAccountsFileAtTemporaryLock) {
        const passwd* other = getpwnam("nobody");
        if (geteuid() != 0 || other == nullptr) GTEST_SKIP() << "needs root and 'nobody'";
        std::string squatted = temporary + "/KVT936PU-MUTEX-" + std::to_string(geteuid());
        test::writeFile(squatted, "");
        ASSERT_EQ(chown(squatted.c_str(), other->pw_uid, other->pw_gid), 0);
    }
    auto runtimeFolder = [&](bool present) { return present ? home.path().c_str() : nullptr; };
    InstanceLock first;
    InstanceLock second;
    {
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", runtimeFolder(defeat.firstHasRuntimeFolder));
        ASSERT_EQ(first.acquire(), Outcome::Owned);
    }
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", runtimeFolder(defeat.secondHasRuntimeFolder));
    EXPECT_EQ(second.acquire(), Outcome::HeldElsewhere);
    EXPECT_EQ(second.holder().pid, getpid());
}

INSTANTIATE_TEST_SUITE_P(
    InstanceLock, OldLockDefeats,
    ::testing::Values(OldLockDefeat{"StartsWithAndWithoutARuntimeFolder", false, true, false},
                      OldLockDefeat{"OtherAccountsFileAtTheTemporaryLock", false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
