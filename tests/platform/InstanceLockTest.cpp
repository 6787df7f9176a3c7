#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/InstanceLock.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    test::TempHome home;
    test::ScopedEnv runtimeDirectory{"XDG_RUNTIME_DIR", home.path().c_str()};
};

TEST_F(InstanceLockTest, LockFileLivesInTheRuntimeDirectory) {
    EXPECT_EQ(std::string(InstanceLock::lockFilePath()), home.path() + "/KVT936PU-MUTEX");
}

TEST_F(InstanceLockTest, SecondInstanceIsRefusedWhileTheFirstRuns) {
    InstanceLock first;
    ASSERT_TRUE(first.acquire());
    pid_t child = fork();
    if (child == 0) {
        InstanceLock second;
        _exit(second.acquire(100) ? 0 : 7);
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
        if (!crashed.acquire()) _exit(3);
        std::abort();  // ends without releasing
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    InstanceLock next;
    EXPECT_TRUE(next.acquire());
}

}  // namespace
}  // namespace kvt
