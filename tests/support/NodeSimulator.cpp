#include "support/NodeSimulator.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "support/ProgramRun.h"

namespace kvt::test {
namespace {

bool bringLoopbackUp(std::string& reason) {
    int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        reason = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(probe, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP | IFF_RUNNING);
    up = up && ioctl(probe, SIOCSIFFLAGS, &request) == 0;
    if (!up) reason = std::string("loopback up: ") + std::strerror(errno);
    close(probe);
    return up;
}

}  // namespace

bool enterPrivateNetwork(std::string* reason) {
    static std::once_flag once;
    static bool entered = false;
    static std::string why;
    std::call_once(once, [] {
        if (unshare(CLONE_NEWNET) != 0) {
            why = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
            return;
        }
        entered = bringLoopbackUp(why);
    });
    if (reason != nullptr) *reason = why;
    return entered;
}

std::string NodeSimulatorProcess::programPath() {
    if (const char* path = std::getenv("KVT_NODESIM")) return path;
    return std::string(KVT_BINARY_DIR) + "/tools/nodesim/kvt-nodesim";
}

NodeSimulatorProcess::~NodeSimulatorProcess() { stop(); }

bool NodeSimulatorProcess::start(const std::vector<std::string>& arguments, int timeoutMs) {
    stop();
    // A simulator that died must not kill the test through a write to its input.
    signal(SIGPIPE, SIG_IGN);
    std::string program = programPath();
    std::vector<char*> argv;
    argv.push_back(program.data());
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return false;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return false;
    }
    pid_t parent = getpid();
    pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls from here on. The child dies with the
        // thread that started it (normally the test's main thread).
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    if (child < 0) {
        close(toChild[1]);
        close(fromChild[0]);
        return false;
    }
    pid_ = child;
    input_ = toChild[1];
    {
        std::lock_guard lock(mutex_);
        output_.clear();
        outputClosed_ = false;
    }
    reader_ = std::thread(&NodeSimulatorProcess::collectOutput, this, fromChild[0]);
    if (waitForOutput("ready\n", timeoutMs)) return true;
    stop();
    return false;
}

void NodeSimulatorProcess::collectOutput(int descriptor) {
    char bytes[4096];
    for (;;) {
        ssize_t count = read(descriptor, bytes, sizeof bytes);
        if (count < 0 && errno == EINTR) continue;
        std::lock_guard lock(mutex_);
        if (count <= 0) {
            outputClosed_ = true;
            changed_.notify_all();
            break;
        }
        output_.append(bytes, static_cast<size_t>(count));
        changed_.notify_all();
    }
    close(descriptor);
}

void NodeSimulatorProcess::stop() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        awaitExit(pid_, 3000);
        pid_ = -1;
    }
    if (reader_.joinable()) reader_.join();
}

bool NodeSimulatorProcess::running() {
    return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

std::string NodeSimulatorProcess::ptyPath() const {
    std::string text = output();
    size_t start = text.find("rtu ");
    if (start == std::string::npos) return {};
    size_t end = text.find('\n', start);
    return text.substr(start + 4, end - start - 4);
}

std::string NodeSimulatorProcess::output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

bool NodeSimulatorProcess::waitForOutput(const std::string& text, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return output_.find(text) != std::string::npos || outputClosed_;
    }) && output_.find(text) != std::string::npos;
}

bool NodeSimulatorProcess::command(const std::string& line, int timeoutMs) {
    if (input_ < 0) return false;
    std::string text = line + "\n";
    if (write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return false;
    return waitForOutput("ok " + line + "\n", timeoutMs);
}

}  // namespace kvt::test
