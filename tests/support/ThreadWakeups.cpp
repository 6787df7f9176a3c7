#include "support/ThreadWakeups.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace kvt::test {

long threadWakeups(const char* name) {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        if (comm != name) continue;
        std::ifstream status(task.path() / "status");
        long switches = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                switches += std::stol(line.substr(line.find(':') + 1));
            }
        }
        return switches;
    }
    return -1;
}

}  // namespace kvt::test
