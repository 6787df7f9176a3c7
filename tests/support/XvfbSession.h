#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace kvt::test {

// A private X server for tests of the real program: Xvfb on a display
// number of its own choosing, driven with xdotool. Ends the processes it
// started (by their ids) when it goes.
class XvfbSession {
public:
    XvfbSession(int width, int height);
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    // False when Xvfb or xdotool is missing or the server did not start.
    bool ready() const { return ready_; }
    const std::string& display() const { return display_; }

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

    // Runs xdotool with the arguments on this display; its standard output.
    std::string xdotool(const std::vector<std::string>& arguments);

private:
    pid_t server_ = -1;
    std::vector<pid_t> launched_;
    std::string display_;
    bool ready_ = false;
};

}  // namespace kvt::test
