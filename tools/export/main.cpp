// kvt-export [--data DIR] --group N [--group M ...] --from YYYY-MM-DD
//            [--to YYYY-MM-DD] [--format csv|jsonl]   (also --help, --version)
//
// Writes the rows of recorded day files to standard output as CSV or JSON
// Lines (see kvt-export(1)); what it skipped goes to standard error.
#include <unistd.h>

#include <cstdio>

#include "ProgramVersion.h"
#include "export/ExportOptions.h"
#include "platform/Paths.h"

namespace {

using namespace kvt;

constexpr const char* kUsage =
    "usage: kvt-export [--data DIR] --group N [--group M ...] --from YYYY-MM-DD\n"
    "                  [--to YYYY-MM-DD] [--format csv|jsonl]\n";

int report(const ExportRequest& request, const ExportOutcome& outcome) {
    for (const std::string& refused : outcome.refusedFiles) {
        std::fprintf(stderr, "kvt-export: not read: %s\n", refused.c_str());
    }
    int filesRead = 0;
    for (const GroupExportCount& group : outcome.groups) {
        filesRead += group.filesRead;
        if (group.filesRead == 0) {
            std::fprintf(stderr, "kvt-export: group %d: no day file\n", group.group);
        }
        if (group.rowsSkipped > 0) {
            std::fprintf(stderr, "kvt-export: group %d: %lld torn or damaged rows skipped\n",
                         group.group, static_cast<long long>(group.rowsSkipped));
        }
    }
    if (!outcome.written) {
        std::fprintf(stderr, "kvt-export: the output could not be written\n");
        return 1;
    }
    if (filesRead == 0) {
        std::fprintf(stderr, "kvt-export: no day file of the groups asked for in %s\n",
                     request.dataFolder.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ExportCommand command = parseExportCommand(argc, argv, dataFolder());
    switch (command.action) {
    case ExportCommand::Action::Help:
        std::printf("%s", kUsage);
        return 0;
    case ExportCommand::Action::Version:
        std::printf("kvt-export %s\n", KVT_PROGRAM_VERSION);
        return 0;
    case ExportCommand::Action::Usage:
        std::fprintf(stderr, "kvt-export: %s\n%s", command.problem.c_str(), kUsage);
        return 2;
    case ExportCommand::Action::Export:
        break;
    }
    ExportOutcome outcome = exportDayFiles(command.request, STDOUT_FILENO);
    return report(command.request, outcome);
}
