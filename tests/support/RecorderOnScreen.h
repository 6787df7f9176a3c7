#pragma once
#include <gtest/gtest.h>
#include <sys/types.h>

#include <optional>
#include <string>

#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt::test {

// The recorder program on an Xvfb session, with HOME and its runtime
// folder in `home` and the English texts; what it prints goes to a file
// there. Killed when the object goes, unless it has ended by then.
class RecorderOnScreen {
public:
    RecorderOnScreen(const XvfbSession& session, const TempHome& home);
    ~RecorderOnScreen();
    RecorderOnScreen(const RecorderOnScreen&) = delete;
    RecorderOnScreen& operator=(const RecorderOnScreen&) = delete;

    bool started() const { return process_ > 0; }
    // Its standard output and error so far.
    std::string output() const;
    // Its exit status once it has ended within `timeoutMs`, else -1.
    int waitForExit(int timeoutMs);

private:
    pid_t process_ = -1;
    int status_ = -1;
    std::string outputPath_;
};

// For tests of the real program: the demonstration recording settings in a
// fresh HOME, a private X server and the recorder started on it. Skips the
// test when Xvfb or xdotool is missing.
class DemoRecorderOnScreenTest : public ::testing::Test {
protected:
    void SetUp() override;

    XvfbSession& session() { return *session_; }
    RecorderOnScreen& recorder() { return *recorder_; }

    TempHome home;

private:
    std::optional<XvfbSession> session_;
    std::optional<RecorderOnScreen> recorder_;
};

}  // namespace kvt::test
