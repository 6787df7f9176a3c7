#pragma once
#include <sys/types.h>

#include <QImage>
#include <string>
#include <vector>

namespace kvt::test {

// A private X server for tests of the real program: Xvfb on a display
// number the server picks itself (so parallel tests never share one),
// driven with xdotool, with screen grabs through kvt-screengrab. Ends the
// processes it started (by their ids) when it goes.
class XvfbSession {
public:
    explicit XvfbSession(int width = 800, int height = 600);
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    // False when Xvfb or xdotool is missing or the server did not start.
    bool ready() const { return ready_; }
    bool running() const { return ready_; }
    const std::string& display() const { return display_; }  // ":N"

    // Starts `program` on this display with the extra environment entries
    // ("NAME=value"); returns its process id, or -1.
    pid_t launch(const std::string& program, const std::vector<std::string>& environment);
    // Ends a process this session launched and reaps it.
    void stop(pid_t process);

    // The first window whose title is exactly `title`, waiting for it up to
    // `timeoutMs`; empty when none came.
    std::string waitForWindow(const std::string& title, int timeoutMs = 20000);
    // Clicks at a point of a window's client area.
    void clickAt(const std::string& window, int x, int y);
    // Clicks an edit, selects all its text and types `text` in its place.
    void replaceText(const std::string& window, int x, int y, const std::string& text);

    // Clicks at a point of the screen, or presses a key (an xdotool key
    // name); true when xdotool succeeded.
    bool click(int x, int y) const;
    bool key(const char* name) const;
    // The whole screen; a null image when the grab failed.
    QImage grab(const std::string& scratchFolder) const;

    // Runs xdotool with the arguments on this display; its standard output.
    std::string xdotool(const std::vector<std::string>& arguments);

private:
    // Runs a program on this display; true when it ended with status 0.
    bool run(std::vector<std::string> arguments) const;

    pid_t server_ = -1;
    std::vector<pid_t> launched_;
    std::string display_;
    bool ready_ = false;
};

// Starts `program` with exactly `environment`; standard output and error
// go to `outputPath`. Returns the child, or -1.
pid_t spawnWithEnvironment(const std::string& program, std::vector<std::string> environment,
                           const std::string& outputPath);

// Exit status of the child within `timeoutMs` (128 + signal when killed),
// or -1 when it is still running.
int waitForExit(pid_t child, int timeoutMs);

// Whether an executable of that name is on the PATH.
bool haveCommand(const char* name);

}  // namespace kvt::test
