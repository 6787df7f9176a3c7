#include "support/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/TempHome.h"

namespace kvt::test {
namespace {

std::vector<char*> pointersTo(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

int awaitExit(pid_t child, int timeoutMs, bool* timedOut) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    bool killed = false;
    while (waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() >= deadline) {
            killed = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (timedOut != nullptr) *timedOut = killed;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, int timeoutMs) {
    ProgramRun run;
    std::string folder = (std::filesystem::temp_directory_path() / "kvt-run-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return run;
    std::string outPath = folder + "/out";
    std::string errPath = folder + "/err";

    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = environment;
    std::vector<char*> argvPointers = pointersTo(argv);
    std::vector<char*> envpPointers = pointersTo(envp);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t child = -1;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argvPointers.data(),
                             envpPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed == 0) run.exitCode = awaitExit(child, timeoutMs, &run.timedOut);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return run;
}

std::string recorderProgram() { return std::string(KVT_BINARY_DIR) + "/kvt936p"; }
std::string simulatorSettingsProgram() {
    return std::string(KVT_BINARY_DIR) + "/tools/simsettings/kvt-simsettings";
}

}  // namespace kvt::test
