#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/InstanceLock.h"
#include "support/ChildPipe.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using Outcome = InstanceLock::Outcome;

using test::ChildPipe;

class InstanceLockTest : public ::testing::Test {
protected:
    test::TempHome home;
    test::ScopedEnv runtimeDirectory{"XDG_RUNTIME_DIR", home.path().c_str()};
};

TEST_F(InstanceLockTest, LockFileLivesInTheUsersRuntimeDirectory) {
    EXPECT_EQ(std::string(InstanceLock::lockFilePath()), home.path() + "/KVT936PU-MUTEX");
    // Without one, a name of the user's own in the temporary folder.
    test::ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    test::ScopedEnv temporary("TMPDIR", home.path().c_str());
    EXPECT_EQ(std::string(InstanceLock::lockFilePath()),
              home.path() + "/KVT936PU-MUTEX-" + std::to_string(geteuid()));
    test::ScopedEnv noTemporary("TMPDIR", nullptr);
    EXPECT_EQ(std::string(InstanceLock::lockFilePath()),
              "/tmp/KVT936PU-MUTEX-" + std::to_string(geteuid()));
}

TEST_F(InstanceLockTest, SecondInstanceIsRefusedWhileTheFirstRuns) {
    InstanceLock first;
    ASSERT_EQ(first.acquire(), Outcome::Owned);
    pid_t child = fork();
    if (child == 0) {
        InstanceLock second;
        _exit(second.acquire(100) == Outcome::HeldElsewhere ? 7 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_TRUE(first.owned());
    struct stat file {};
    ASSERT_EQ(stat(InstanceLock::lockFilePath(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
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
}

// Whatever stands at the lock's place that is not a plain file of the
// user's own gives no lock, and is neither followed nor touched; it is not
// mistaken for a running instance either.
TEST_F(InstanceLockTest, NoLockFileOfOurOwnIsUnavailableNotRunning) {
    std::string lock = InstanceLock::lockFilePath();
    std::string target = home.path() + "/target";
    test::writeFile(target, "keep");
    ASSERT_EQ(symlink(target.c_str(), lock.c_str()), 0);
    InstanceLock linked;
    EXPECT_EQ(linked.acquire(), Outcome::Unavailable);
    EXPECT_EQ(test::readFile(target), "keep");
    unlink(lock.c_str());

    ASSERT_EQ(mkdir(lock.c_str(), 0700), 0);
    InstanceLock folder;
    EXPECT_EQ(folder.acquire(), Outcome::Unavailable);
    rmdir(lock.c_str());

    test::ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    test::ScopedEnv notAFolder("TMPDIR", target.c_str());
    InstanceLock nowhere;
    EXPECT_EQ(nowhere.acquire(), Outcome::Unavailable);
}

// --- Two accounts (needs root to become "nobody") ----------------------------

class TwoAccountsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to run a second account";
        const passwd* entry = getpwnam("nobody");
        if (entry == nullptr) GTEST_SKIP() << "no account 'nobody'";
        other = entry->pw_uid;
        otherGroup = entry->pw_gid;
        // A shared temporary folder like /tmp: world-writable and sticky.
        chmod(home.path().c_str(), 01777);
    }

    // Runs `body` in a child process as the other account and gives its
    // process id; the child's exit status is body's result (90: could not
    // become the other account).
    template <typename Body>
    pid_t runAsOther(Body body) {
        pid_t child = fork();
        if (child != 0) return child;
        if (setgroups(0, nullptr) != 0 || setresgid(otherGroup, otherGroup, otherGroup) != 0 ||
            setresuid(other, other, other) != 0) {
            _exit(90);
        }
        _exit(body());
    }
    static int exitStatus(pid_t child) {
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
    }

    test::TempHome home;
    test::ScopedEnv noRuntime{"XDG_RUNTIME_DIR", nullptr};
    test::ScopedEnv temporary{"TMPDIR", home.path().c_str()};
    uid_t other = 0;
    gid_t otherGroup = 0;
};

// After one account ran the recorder, another account's start is its own
// first instance, and each account still sees its own second copy.
TEST_F(TwoAccountsTest, EachAccountHasItsOwnLock) {
    ChildPipe ready;
    ChildPipe release;
    pid_t holder = runAsOther([&] {
        ready.keepOnlyWriting();
        release.keepOnlyReading();
        InstanceLock lock;
        if (!ready.send(static_cast<char>(lock.acquire()))) return 3;
        char byte = 0;
        return release.receive(byte) && lock.owned() ? 0 : 4;
    });
    ready.keepOnlyReading();
    release.keepOnlyWriting();
    char outcome = 0;
    ASSERT_TRUE(ready.receive(outcome));
    EXPECT_EQ(static_cast<Outcome>(outcome), Outcome::Owned);

    InstanceLock mine;
    EXPECT_EQ(mine.acquire(), Outcome::Owned);
    pid_t secondOfOther = runAsOther([] {
        InstanceLock lock;
        return lock.acquire() == Outcome::HeldElsewhere ? 0 : 5;
    });
    EXPECT_EQ(exitStatus(secondOfOther), 0);
    InstanceLock secondOfMine;
    EXPECT_EQ(secondOfMine.acquire(), Outcome::HeldElsewhere);

    ASSERT_TRUE(release.send(1));
    EXPECT_EQ(exitStatus(holder), 0);
}

// Another account puts a file, locked, where this account's lock belongs
// (in a shared folder anyone can create names in). It must not be able to
// keep this account's recorder from starting.
TEST_F(TwoAccountsTest, AnotherAccountsFileAtOurLockIsNotARunningInstance) {
    std::string ours = InstanceLock::lockFilePath();
    ChildPipe ready;
    ChildPipe release;
    pid_t squatter = runAsOther([&] {
        ready.keepOnlyWriting();
        release.keepOnlyReading();
        int descriptor = open(ours.c_str(), O_RDWR | O_CREAT, 0644);
        bool locked = descriptor >= 0 && flock(descriptor, LOCK_EX) == 0;
        if (!ready.send(locked ? 1 : 0)) return 3;
        char byte = 0;
        return release.receive(byte) ? 0 : 4;
    });
    ready.keepOnlyReading();
    release.keepOnlyWriting();
    char locked = 0;
    ASSERT_TRUE(ready.receive(locked));
    ASSERT_EQ(locked, 1);

    InstanceLock mine;
    EXPECT_EQ(mine.acquire(), Outcome::Unavailable);
    EXPECT_FALSE(mine.owned());

    ASSERT_TRUE(release.send(1));
    EXPECT_EQ(exitStatus(squatter), 0);
}

}  // namespace
}  // namespace kvt
