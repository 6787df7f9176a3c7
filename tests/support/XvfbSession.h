#pragma once
#include <sys/types.h>

#include <QImage>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

// Writing a test of the real window that holds on a loaded machine:
// - Put it into tests/realprogram, whose tests run one at a time.
// - Before each click or key, wait for the window it is meant for:
//   waitForWindow() for the main window, waitForDialog() for a dialog or
//   message box. A dialog counts only once it holds the input focus: the
//   toolkit gives it the focus after showing it, and keys sent before that
//   go to the window that had it and are lost.
// - After a step that closes a dialog, waitForGone() before the next step:
//   a click on the window below is dropped while the dialog is open. The
//   window below takes clicks again from then on, but does not get the
//   input focus back: use the ScreenWindow found when it was first shown.
// - Wait for results by state (files, the screen grab) with eventually(),
//   never with fixed sleeps; every wait has a deadline and a message.
// - Every point is in a window's own pixels; controls of a dialog are
//   found from its template (clickControl, typeInto).

namespace kvt::test {

// A top-level window shown on the session's screen.
struct ScreenWindow {
    std::string id;
    std::string title;
    int x = 0;  // of its client area on the screen
    int y = 0;
    int width = 0;
    int height = 0;
};

// A private X server for tests of the real program: Xvfb on a display
// number the server picks itself (so parallel tests never share one),
// driven with xdotool, with screen grabs through kvt-screengrab. Ends the
// processes it started (by their ids) when it goes.
class XvfbSession {
public:
    static constexpr int kWaitMs = 20000;

    // With `authFile`, the server lets in only clients that know a cookie
    // of that file.
    explicit XvfbSession(int width = 800, int height = 600, const std::string& authFile = {});
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    // False when Xvfb or xdotool is missing or the server did not start.
    bool ready() const { return ready_; }
    const std::string& display() const { return display_; }  // ":N"

    // Starts the recorder of this build on this display with HOME and
    // XDG_RUNTIME_DIR at `home`, the C locale and nothing else of the
    // test's environment; its output goes to programOutputPath(home).
    pid_t launchRecorder(const std::string& home);
    // The same with another program (a script that starts the recorder).
    pid_t launch(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& home);
    static std::string programOutputPath(const std::string& home) { return home + "/output.txt"; }
    // Ends a process this session launched and reaps it.
    void stop(pid_t process);
    // Ends the X server, as a logout does, under the programs on it.
    void endServer();

    // A visible window titled exactly `title`.
    bool waitForWindow(const std::string& title, ScreenWindow& window, int timeoutMs = kWaitMs);
    // The window titled exactly `title` that holds the input focus, other
    // than `besides` (message boxes have the main window's title): a dialog
    // or message box shown and ready for input.
    bool waitForDialog(const std::string& title, ScreenWindow& window,
                       const ScreenWindow& besides = {}, int timeoutMs = kWaitMs);
    // The window is no longer shown.
    bool waitForGone(const ScreenWindow& window, int timeoutMs = kWaitMs);

    // Clicks at a point of a window.
    bool click(const ScreenWindow& window, int x, int y);
    // Clicks control `id` of a dialog laid out by `layout`, a few pixels
    // into its place (where a box or radio button has its box), half-way down.
    bool clickControl(const ScreenWindow& dialog, const DialogTemplate& layout, int id);
    // Clicks edit `id`, selects its text and types `text` in its place.
    bool typeInto(const ScreenWindow& dialog, const DialogTemplate& layout, int id,
                  const std::string& text);
    // Presses a key (an xdotool key name) in the focused window.
    bool key(const char* name);
    // The whole screen; a null image when the grab failed.
    QImage grab(const std::string& scratchFolder);

private:
    // Runs a program on this display with a bare environment; its standard
    // output, or nothing when it failed.
    bool run(std::vector<std::string> arguments, std::string* output = nullptr);
    std::string focusedWindow();
    std::vector<std::string> visibleWindows(const std::string& title);
    bool readGeometry(ScreenWindow& window);

    pid_t server_ = -1;
    std::vector<pid_t> launched_;
    std::string display_;
    bool ready_ = false;
};

}  // namespace kvt::test
