#include "support/XvfbSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace kvt::test {
namespace {

constexpr int kServerStartMs = 10000;
constexpr int kPollMs = 100;

// This process's environment with `overrides` ("NAME=value") in place.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        std::string name = text.substr(0, text.find('='));
        bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](const std::string& o) {
            return o.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), overrides.begin(), overrides.end());
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts a program found on PATH (or by its path) with its standard output
// on `outputFd` (-1: inherited) and its standard error discarded.
pid_t spawn(std::vector<std::string> arguments, std::vector<std::string> environment,
            int outputFd, int closeFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    pid_t process = -1;
    if (posix_spawnp(&process, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        process = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

// Reads what a pipe delivers until it closes or `timeoutMs` passes.
std::string readPipe(int descriptor, int timeoutMs, bool untilNewline) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{descriptor, POLLIN, 0};
        if (poll(&waiting, 1, kPollMs) <= 0) continue;
        char buffer[256];
        ssize_t count = read(descriptor, buffer, sizeof buffer);
        if (count <= 0) break;
        text.append(buffer, static_cast<size_t>(count));
        if (untilNewline && text.find('\n') != std::string::npos) break;
    }
    return text;
}

void endProcess(pid_t process) {
    if (process <= 0) return;
    kill(process, SIGKILL);
    waitpid(process, nullptr, 0);
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

XvfbSession::XvfbSession(int width, int height) {
    if (!haveCommand("Xvfb") || !haveCommand("xdotool")) return;
    int channel[2];
    if (pipe(channel) != 0) return;
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server_ = spawn({"Xvfb", "-displayfd", std::to_string(channel[1]), "-screen", "0", screen,
                     "-nolisten", "tcp"},
                    environmentWith({}), -1, channel[0]);
    close(channel[1]);
    std::string number = readPipe(channel[0], kServerStartMs, true);
    close(channel[0]);
    number.erase(std::remove(number.begin(), number.end(), '\n'), number.end());
    if (server_ < 0 || number.empty()) return;
    display_ = ":" + number;
    ready_ = true;
}

XvfbSession::~XvfbSession() {
    for (pid_t process : launched_) endProcess(process);
    endProcess(server_);
}

pid_t XvfbSession::launch(const std::string& program, const std::vector<std::string>& environment) {
    std::vector<std::string> overrides = environment;
    overrides.push_back("DISPLAY=" + display_);
    pid_t process = spawn({program}, environmentWith(overrides), -1);
    if (process > 0) launched_.push_back(process);
    return process;
}

void XvfbSession::stop(pid_t process) {
    auto found = std::find(launched_.begin(), launched_.end(), process);
    if (found == launched_.end()) return;
    launched_.erase(found);
    endProcess(process);
}

std::string XvfbSession::xdotool(const std::vector<std::string>& arguments) {
    int channel[2];
    if (pipe(channel) != 0) return {};
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    pid_t process =
        spawn(command, environmentWith({"DISPLAY=" + display_}), channel[1], channel[0]);
    close(channel[1]);
    std::string output = process > 0 ? readPipe(channel[0], kServerStartMs, false) : "";
    close(channel[0]);
    if (process > 0) waitpid(process, nullptr, 0);
    return output;
}

std::string XvfbSession::waitForWindow(const std::string& title, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string found = xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"});
        size_t end = found.find('\n');
        if (end != std::string::npos && end > 0) {
            // Let the toolkit finish mapping and laying out the window.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return found.substr(0, end);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return {};
}

void XvfbSession::clickAt(const std::string& window, int x, int y) {
    xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"});
}

// Keys go to the focused widget, as the user's keyboard does; the click
// gave the edit the focus.
void XvfbSession::replaceText(const std::string& window, int x, int y, const std::string& text) {
    clickAt(window, x, y);
    xdotool({"key", "ctrl+a"});
    xdotool({"type", "--delay", "20", text});
}


bool XvfbSession::run(std::vector<std::string> arguments) const {
    // A bare environment: the test's own (QT_QPA_PLATFORM=offscreen among
    // it) would keep the screen grabber off this display.
    pid_t process = spawn(std::move(arguments), {"DISPLAY=" + display_, "PATH=/usr/bin:/bin"}, -1);
    return process > 0 && waitForExit(process, 20000) == 0;
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
    std::vector<char*> envp = pointersTo(environment);
    std::vector<std::string> arguments = {program};
    std::vector<char*> argv = pointersTo(arguments);
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
