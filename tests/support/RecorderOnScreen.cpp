#include "support/RecorderOnScreen.h"

#include "support/DemoRecordingSettings.h"
#include "support/Eventually.h"

namespace kvt::test {

void RecorderOnScreenTest::SetUp() {
    ASSERT_TRUE(saveStartSettings());
    session_.emplace(screenSize().width(), screenSize().height());
    if (!session_->ready()) {
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh installs them)";
    }
    program = session_->launchRecorder(home.path());
    ASSERT_GT(program, 0);
    ASSERT_TRUE(session_->waitForWindow("KVT936PUS", mainWindow)) << output();
}

std::string RecorderOnScreenTest::output() const {
    return readFile(XvfbSession::programOutputPath(home.path()));
}

bool RecorderOnScreenTest::showing(const std::function<bool()>& condition) {
    return eventually(
        [&] {
            screen = grab();
            return !screen.isNull() && condition();
        },
        XvfbSession::kWaitMs);
}

bool RecorderOnScreenTest::stopMeasuring(int x, int y) {
    ScreenWindow question;
    return session_->click(mainWindow, x, y) &&
           session_->waitForDialog("KVT936PUS", question, mainWindow) &&
           session_->key("Return") && session_->waitForGone(question);
}

bool DemoRecorderOnScreenTest::saveStartSettings() { return saveDemoRecordingSettings(); }

}  // namespace kvt::test
