#include "support/RealProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

extern char** environ;

namespace kvt::test {
namespace {

void stopChild(pid_t child) {
    if (child <= 0) return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// Reads the display number Xvfb writes to its -displayfd pipe.
std::string readDisplayNumber(int descriptor) {
    std::string number;
    char c = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        ssize_t got = read(descriptor, &c, 1);
        if (got == 1) {
            if (c == '\n') return number;
            number += c;
        } else if (got == 0) {
            break;
        }
    }
    return {};
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    std::string descriptor = std::to_string(pipeEnds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "800x600x24",
                          "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int failed = posix_spawnp(&server_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed == 0) {
        std::string number = readDisplayNumber(pipeEnds[0]);
        if (!number.empty()) name_ = ":" + number;
    } else {
        server_ = -1;
    }
    close(pipeEnds[0]);
}

VirtualDisplay::~VirtualDisplay() { stopChild(server_); }

RunningProgram::RunningProgram(const std::string& display, const std::string& home,
                               const std::string& language, const std::string& errorsPath) {
    std::vector<std::string> environment = {
        "DISPLAY=" + display, "HOME=" + home,        "XDG_RUNTIME_DIR=" + home,
        "LANG=" + language,   "LC_ALL=" + language, "PATH=/usr/bin:/bin",
    };
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = std::string(KVT_BINARY_DIR) + "/kvt936p";
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorsPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    if (posix_spawn(&child_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) child_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

RunningProgram::~RunningProgram() { stopChild(child_); }

bool RunningProgram::running() const {
    int status = 0;
    return child_ > 0 && waitpid(child_, &status, WNOHANG) == 0;
}

std::string ScreenUser::run(const std::string& arguments) {
    std::string command = "DISPLAY=" + display_ + " xdotool " + arguments + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
        pclose(pipe);
    }
    return output;
}

bool ScreenUser::waitForWindow(const std::string& title, ScreenWindow& window, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream ids(run("search --onlyvisible --name '^" + title + "$'"));
        std::string id;
        if (ids >> id) {
            std::istringstream shell(run("getwindowgeometry --shell " + id));
            std::string line;
            while (std::getline(shell, line)) {
                size_t equals = line.find('=');
                if (equals == std::string::npos) continue;
                int value = std::atoi(line.c_str() + equals + 1);
                std::string key = line.substr(0, equals);
                if (key == "X") window.x = value;
                if (key == "Y") window.y = value;
                if (key == "WIDTH") window.width = value;
                if (key == "HEIGHT") window.height = value;
            }
            if (window.width > 0) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool ScreenUser::waitForWindowGone(const std::string& title, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (run("search --onlyvisible --name '^" + title + "$'").empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void ScreenUser::clickAt(int x, int y) {
    run("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

void ScreenUser::clickControl(const ScreenWindow& window, const DialogTemplate& layout, int id) {
    constexpr int kIntoPlace = 6;
    for (const ControlTemplate& control : layout.controls) {
        if (control.id != id) continue;
        int x = window.x + dialogUnitsToPixelsX(control.place.x) + kIntoPlace;
        int y = window.y + dialogUnitsToPixelsY(control.place.y) +
                dialogUnitsToPixelsY(control.place.height) / 2;
        clickAt(x, y);
        return;
    }
}

}  // namespace kvt::test
