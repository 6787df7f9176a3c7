#include "support/XvfbSession.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/Eventually.h"

extern char** environ;

namespace kvt::test {
namespace {

constexpr int kFirstDisplay = 91;
constexpr int kLastDisplay = 120;

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

pid_t spawnSearching(std::vector<std::string> arguments, char** environment) {
    std::vector<char*> argv = pointers(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

}  // namespace

bool haveCommand(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        if (access((folders.substr(start, end - start) + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

XvfbSession::XvfbSession() {
    if (!haveCommand("Xvfb")) return;
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (exists("/tmp/.X" + std::to_string(number) + "-lock") || exists(socket)) continue;
        display_ = ":" + std::to_string(number);
        server_ = spawnSearching({"Xvfb", display_, "-screen", "0", "800x600x24", "-nolisten", "tcp"},
                                 environ);
        if (server_ <= 0) break;
        // Ours, not another test's that took the number at the same moment.
        bool alive = true;
        bool up = eventually([&] { return (alive = waitForExit(server_, 0) < 0) && exists(socket); }, 10000);
        if (up) return;
        if (alive) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        server_ = -1;
    }
    display_.clear();
}

XvfbSession::~XvfbSession() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    if (waitForExit(server_, 5000) < 0) {
        kill(server_, SIGKILL);
        waitpid(server_, nullptr, 0);
    }
}

bool XvfbSession::run(std::vector<std::string> arguments) const {
    std::vector<std::string> environment = {"DISPLAY=" + display_, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp = pointers(environment);
    pid_t child = spawnSearching(std::move(arguments), envp.data());
    return child > 0 && waitForExit(child, 20000) == 0;
}

bool XvfbSession::click(int x, int y) const {
    return run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

bool XvfbSession::key(const char* name) const { return run({"xdotool", "key", name}); }

QImage XvfbSession::grab(const std::string& scratchFolder) const {
    std::string path = scratchFolder + "/screen.png";
    std::string grabber = std::string(KVT_BINARY_DIR) + "/tools/screengrab/kvt-screengrab";
    if (!run({grabber, path})) return QImage();
    return QImage(QString::fromStdString(path));
}

pid_t spawnWithEnvironment(const std::string& program, std::vector<std::string> environment,
                           const std::string& outputPath) {
    std::vector<char*> envp = pointers(environment);
    std::vector<std::string> arguments = {program};
    std::vector<char*> argv = pointers(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t child = -1;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

int waitForExit(pid_t child, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        usleep(20000);
    }
    return -1;
}

}  // namespace kvt::test
