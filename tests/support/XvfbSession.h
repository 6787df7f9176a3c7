#pragma once
#include <sys/types.h>

#include <QImage>
#include <string>
#include <vector>

namespace kvt::test {

// A private X server (Xvfb, 800 x 600, 24 bits) for tests of the real
// window, with synthetic pointer clicks and keys (xdotool) and screen grabs
// (kvt-screengrab). The server ends with the object.
class XvfbSession {
public:
    XvfbSession();
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    bool running() const { return server_ > 0; }
    const std::string& display() const { return display_; }  // ":N"

    bool click(int x, int y) const;
    bool key(const char* name) const;
    // The whole screen; a null image when the grab failed.
    QImage grab(const std::string& scratchFolder) const;

private:
    bool run(std::vector<std::string> arguments) const;

    pid_t server_ = -1;
    std::string display_;
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
