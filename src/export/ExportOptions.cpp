#include "export/ExportOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kvt {
namespace {

bool readDate(const std::string& text, CalendarDate& date) {
    int length = 0;
    if (text.size() != 10 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &date.year, &date.month, &date.day, &length) != 3 ||
        length != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    // A real calendar day: the day after the one before is the same.
    if (date.year < 1900 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) {
        return false;
    }
    CalendarDate back = dayAfter(dayBefore(date));
    return back.year == date.year && back.month == date.month && back.day == date.day;
}

bool readGroup(const std::string& text, std::vector<int>& groups) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    int group = std::stoi(text);
    if (group > 10) return false;
    if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
    return true;
}

class Arguments {
public:
    Arguments(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

    bool more() const { return next_ < argc_; }
    // The next option's name and value ("--x v" or "--x=v"); false when a
    // value is missing.
    bool take(std::string& name, std::string& value, bool& hasValue) {
        std::string_view argument = argv_[next_++];
        size_t equals = argument.find('=');
        name = std::string(argument.substr(0, equals));
        hasValue = equals != std::string_view::npos;
        if (hasValue) {
            value = std::string(argument.substr(equals + 1));
        } else if (name != "--help" && name != "--version" && next_ < argc_) {
            value = argv_[next_++];
            hasValue = true;
        }
        return true;
    }

private:
    int argc_;
    const char* const* argv_;
    int next_ = 1;
};

ExportCommand usage(std::string problem) {
    ExportCommand command;
    command.problem = std::move(problem);
    return command;
}

}  // namespace

ExportCommand parseExportCommand(int argc, const char* const* argv, const std::string& defaultFolder) {
    ExportCommand command;
    command.action = ExportCommand::Action::Export;
    ExportRequest& request = command.request;
    request.dataFolder = defaultFolder;
    bool hasFrom = false;
    bool hasTo = false;
    Arguments arguments(argc, argv);
    while (arguments.more()) {
        std::string name;
        std::string value;
        bool hasValue = false;
        arguments.take(name, value, hasValue);
        if (name == "--help") return ExportCommand{ExportCommand::Action::Help, {}, {}};
        if (name == "--version") return ExportCommand{ExportCommand::Action::Version, {}, {}};
        if (!hasValue) return usage("option " + name + " needs a value");
        if (name == "--data") {
            request.dataFolder = value;
        } else if (name == "--group") {
            if (!readGroup(value, request.groups)) return usage("no group 0-10: " + value);
        } else if (name == "--from" || name == "--to") {
            bool from = name == "--from";
            if (!readDate(value, from ? request.from : request.to)) {
                return usage("no date YYYY-MM-DD: " + value);
            }
            (from ? hasFrom : hasTo) = true;
        } else if (name == "--format" && (value == "csv" || value == "jsonl")) {
            request.format = value == "csv" ? ExportFormat::Csv : ExportFormat::JsonLines;
        } else {
            return usage("unknown option or value: " + name + " " + value);
        }
    }
    if (request.groups.empty()) return usage("--group is needed");
    if (!hasFrom) return usage("--from is needed");
    if (!hasTo) request.to = request.from;
    if (isEarlier(request.to, request.from)) return usage("--to lies before --from");
    return command;
}

}  // namespace kvt
