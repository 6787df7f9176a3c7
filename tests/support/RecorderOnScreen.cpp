#include "support/RecorderOnScreen.h"

#include <signal.h>
#include <sys/stat.h>

#include "support/DemoRecordingSettings.h"

namespace kvt::test {

RecorderOnScreen::RecorderOnScreen(const XvfbSession& session, const TempHome& home)
    : outputPath_(home.path() + "/output.txt") {
    chmod(home.path().c_str(), 0700);  // the toolkit's runtime folder must be private
    process_ = spawnWithEnvironment(
        std::string(KVT_BINARY_DIR) + "/kvt936p",
        {"DISPLAY=" + session.display(), "HOME=" + home.path(), "XDG_RUNTIME_DIR=" + home.path(),
         "LANG=C", "PATH=/usr/bin:/bin"},
        outputPath_);
}

RecorderOnScreen::~RecorderOnScreen() {
    if (!started() || waitForExit(0) >= 0) return;
    kill(process_, SIGKILL);
    waitForExit(5000);
}

std::string RecorderOnScreen::output() const { return readFile(outputPath_); }

int RecorderOnScreen::waitForExit(int timeoutMs) {
    if (status_ < 0 && started()) status_ = kvt::test::waitForExit(process_, timeoutMs);
    return status_;
}

void DemoRecorderOnScreenTest::SetUp() {
    if (!haveCommand("Xvfb") || !haveCommand("xdotool")) {
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh installs them)";
    }
    ASSERT_TRUE(saveDemoRecordingSettings());
    session_.emplace();
    ASSERT_TRUE(session_->running()) << "Xvfb did not start";
    recorder_.emplace(*session_, home);
    ASSERT_TRUE(recorder_->started());
}

}  // namespace kvt::test
