#pragma once
#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kvt::test {

// Moves this process into a new, private network namespace with the
// loopback interface up, so that a simulator on port 502 meets nothing
// else on the machine. Done once per process; later calls return the first
// result. On failure `reason` says why (for GTEST_SKIP).
bool enterPrivateNetwork(std::string* reason = nullptr);

// The node simulator (kvt-nodesim) as a child process. Its standard output
// is collected continuously; commands go to its standard input. The child
// dies with the test process, and stop() never hangs: SIGTERM, then SIGKILL.
class NodeSimulatorProcess {
public:
    NodeSimulatorProcess() = default;
    ~NodeSimulatorProcess();
    NodeSimulatorProcess(const NodeSimulatorProcess&) = delete;
    NodeSimulatorProcess& operator=(const NodeSimulatorProcess&) = delete;

    // Starts the simulator with `arguments` and waits for its "ready" line.
    // False (and the child stopped) when it exits or is not ready in time.
    bool start(const std::vector<std::string>& arguments, int timeoutMs = 5000);
    void stop();
    bool running();
    pid_t pid() const { return pid_; }

    // Path of the pseudo-terminal from the "rtu PATH" line; empty without --rtu.
    std::string ptyPath() const;
    // Everything the simulator printed so far.
    std::string output() const;
    // Waits until the output contains `text`; false after `timeoutMs`.
    bool waitForOutput(const std::string& text, int timeoutMs = 3000) const;
    // Sends one command line and waits for its acknowledgement "ok LINE".
    bool command(const std::string& line, int timeoutMs = 3000);

    static std::string programPath();

private:
    void collectOutput(int descriptor);

    pid_t pid_ = -1;
    int input_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::string output_;
    bool outputClosed_ = false;
};

}  // namespace kvt::test
