#pragma once
#include <gtest/gtest.h>
#include <sys/types.h>

#include <QImage>
#include <QSize>
#include <functional>
#include <optional>
#include <string>

#include "support/TempHome.h"
#include "support/XvfbSession.h"

namespace kvt::test {

// For tests of the real program: a fresh HOME, a private X server, and the
// recorder started on it with its main window shown. Skips the test when
// Xvfb or xdotool is missing. The session ends the recorder if the test
// has not.
class RecorderOnScreenTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Writes the settings the recorder starts from; by default none, so
    // that it starts from (and saves) its defaults.
    virtual bool saveStartSettings() { return true; }
    virtual QSize screenSize() const { return {800, 600}; }

    XvfbSession& session() { return *session_; }
    // What the recorder printed so far.
    std::string output() const;
    // The whole screen (null when the grab failed).
    QImage grab() { return session_->grab(home.path()); }
    // Grabs the screen into `screen` until `condition` holds for it; false
    // when it did not within the session's wait.
    bool showing(const std::function<bool()>& condition);
    // Clicks STOP at (x, y) of the main window and confirms its question (a
    // message box with the window's title) with Enter, its default OK.
    bool stopMeasuring(int x, int y);

    TempHome home;
    pid_t program = -1;
    ScreenWindow mainWindow;
    QImage screen;  // the last grab of showing()

private:
    std::optional<XvfbSession> session_;
};

// The same with the demonstration recording settings (saveDemoRecordingSettings).
class DemoRecorderOnScreenTest : public RecorderOnScreenTest {
protected:
    bool saveStartSettings() override;
};

}  // namespace kvt::test
