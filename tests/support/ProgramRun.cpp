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

int exitStatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The settings of a sanitizer build's test run (its suppressions among
// them), which the programs it starts must keep.
void addSanitizerSettings(std::vector<std::string>& environment) {
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS",
                             "ASAN_SYMBOLIZER_PATH", "TSAN_SYMBOLIZER_PATH"}) {
        if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
    }
}

// Starts the program with its standard streams on the files given.
pid_t spawnProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const std::string& outPath,
                   const std::string& errPath) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = environment;
    addSanitizerSettings(envp);
    std::vector<char*> argvPointers = argumentPointers(argv);
    std::vector<char*> envpPointers = argumentPointers(envp);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int flags = O_WRONLY | O_CREAT | O_APPEND;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), flags, 0600);
    if (errPath == outPath) {
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), flags, 0600);
    }
    pid_t child = -1;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argvPointers.data(),
                             envpPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

}  // namespace

std::vector<char*> argumentPointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> bareEnvironment(const std::string& home) {
    return {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "LANG=C", "LC_ALL=C", "PATH=/usr/bin:/bin"};
}

pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const std::string& outputPath) {
    return spawnProgram(program, arguments, environment, outputPath, outputPath);
}

int waitForExit(pid_t child, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (pid_t ended; (ended = waitpid(child, &status, WNOHANG)) != child;) {
        if (ended < 0) return -2;
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitStatusOf(status);
}

int awaitExit(pid_t child, int timeoutMs, bool* timedOut) {
    int exitStatus = waitForExit(child, timeoutMs);
    bool killed = exitStatus == -1;
    if (killed) {
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        exitStatus = exitStatusOf(status);
    }
    if (timedOut != nullptr) *timedOut = killed;
    return exitStatus;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, int timeoutMs) {
    ProgramRun run;
    std::string folder = (std::filesystem::temp_directory_path() / "kvt-run-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return run;
    std::string outPath = folder + "/out";
    std::string errPath = folder + "/err";

    pid_t child = spawnProgram(program, arguments, environment, outPath, errPath);
    if (child > 0) run.exitCode = awaitExit(child, timeoutMs, &run.timedOut);
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
