#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

namespace kvt::test {

// A private X server (Xvfb) of the recorder's 800 x 600 screen, on a
// display number the server picks itself; stopped with the object.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool started() const { return !name_.empty(); }
    const std::string& name() const { return name_; }  // ":N"

private:
    pid_t server_ = -1;
    std::string name_;
};

// The recorder itself (KVT_BINARY_DIR/kvt936p) on a display, with HOME and
// the language given; standard error goes to `errorsPath`. Killed with the
// object.
class RunningProgram {
public:
    RunningProgram(const std::string& display, const std::string& home, const std::string& language,
                   const std::string& errorsPath);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return child_ > 0; }
    bool running() const;

private:
    pid_t child_ = -1;
};

// A top-level window's place on the screen.
struct ScreenWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Drives a display as a user would, through xdotool.
class ScreenUser {
public:
    explicit ScreenUser(std::string display) : display_(std::move(display)) {}

    // Waits until a visible window titled exactly `title` is shown.
    bool waitForWindow(const std::string& title, ScreenWindow& window, int timeoutMs = 15000);
    // Waits until no visible window titled `title` is left.
    bool waitForWindowGone(const std::string& title, int timeoutMs = 15000);
    void clickAt(int x, int y);
    // Clicks control `id` of a dialog shown in `window`, a few pixels into
    // its place (where a box or radio button has its box).
    void clickControl(const ScreenWindow& window, const DialogTemplate& layout, int id);

private:
    std::string run(const std::string& arguments);

    std::string display_;
};

}  // namespace kvt::test
