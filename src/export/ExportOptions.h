#pragma once
#include <string>

#include "export/DayExport.h"

namespace kvt {

struct ExportCommand {
    enum class Action { Export, Help, Version, Usage } action = Action::Usage;
    ExportRequest request;
    std::string problem;  // for Usage: what is wrong
};

// kvt-export [--data DIR] --group N [--group M ...] --from YYYY-MM-DD
//            [--to YYYY-MM-DD] [--format csv|jsonl]; also --help, --version.
// Options take their value as the next argument or after "=". The data
// folder defaults to `defaultFolder`, --to to --from.
ExportCommand parseExportCommand(int argc, const char* const* argv, const std::string& defaultFolder);

}  // namespace kvt
