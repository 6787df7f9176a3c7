#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>

#include "ProgramVersion.h"

namespace kvt {
namespace {

constexpr const char* kUsageLine =
    "Usage: kvt936p [--help] [--version] [--start | --headless] [--status [--json]] "
    "[toolkit options]\n";

constexpr const char* kHelpText =
    "KVT936PUS: records remote I/O modules polled over Modbus RTU (COM1 to COM5)\n"
    "or Modbus/TCP, with live trend graphs, alarms, daily CSV files and playback.\n"
    "Everything is set up in the program's own window.\n"
    "\n"
    "Options\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n"
    "  --start       press START once the window is up, as a user would (for a\n"
    "                desktop autostart entry that resumes recording after a reboot)\n"
    "  --headless    record without a window or display, measuring from the start:\n"
    "                the settings file as the window left it, messages in the\n"
    "                journal, SIGTERM ends it cleanly (for the user service\n"
    "                kvt936p.service: systemctl --user enable --now kvt936p)\n"
    "  --status      ask the running recorder how it is doing: mode, measurement,\n"
    "                exchanges per node, rows per group, write failures; exit 0\n"
    "                when one answered, 3 when none runs\n"
    "  --json        with --status: the same as one JSON object\n"
    "The toolkit's own options are passed on, for example -platform offscreen,\n"
    "-display :1, -style fusion or -reverse.\n"
    "\n"
    "Files\n"
    "  ~/KVT936P_U_DATA/               settings (KVT936P.LPPU), alarm history\n"
    "                                  (KVT936P.LPAU), a folder of CSV day files\n"
    "                                  per date, saved screen images\n"
    "  ~/.config/kvt936p/com1 ... com5\n"
    "                                  optional links naming the devices of COM1\n"
    "                                  to COM5 ($XDG_CONFIG_HOME/kvt936p when that\n"
    "                                  is set; then ~/.kvt936p/comN; otherwise\n"
    "                                  /dev/ttyS0 ... ttyS4)\n"
    "\n"
    "Journal: one line per event on standard error, with the syslog priority\n"
    "prefix (<3> error ... <6> info): start and end, measurement, links, nodes\n"
    "that stop answering, disk space, message boxes. See kvt936p(1).\n";

// Options of the GUI toolkit and of its X11 platform, and whether each
// takes a value.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};

constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},     {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},       {"qmljsdebugger", true},      {"qwindowgeometry", true},
    {"geometry", true},     {"qwindowtitle", true},       {"title", true},
    {"qwindowicon", true},  {"icon", true},               {"session", true},
    {"display", true},      {"name", true},               {"visual", true},
    {"style", true},        {"stylesheet", true},         {"reverse", false},
    {"widgetcount", false}, {"testability", false},       {"sync", false},
    {"nograb", false},      {"dograb", false},
};

const ToolkitOption* findToolkitOption(const char* name, size_t length) {
    for (const ToolkitOption& option : kToolkitOptions) {
        if (std::strlen(option.name) == length && std::strncmp(option.name, name, length) == 0) {
            return &option;
        }
    }
    return nullptr;
}

const char* withoutDashes(const char* argument) {
    while (*argument == '-') ++argument;
    return argument;
}

bool isOwnOption(const char* argument, const char* name) {
    return argument[0] == '-' && std::strcmp(withoutDashes(argument), name) == 0;
}

void keepToolkitValue(CommandLine& commandLine, const ToolkitOption& option, const char* value) {
    if (std::strcmp(option.name, "platform") == 0) commandLine.platform = value;
    if (std::strcmp(option.name, "display") == 0) commandLine.display = value;
}

void failWith(CommandLine& commandLine, const char* what, const char* argument) {
    commandLine.request = CommandLineRequest::UsageError;
    std::snprintf(commandLine.error, sizeof commandLine.error, "%s%s", what, argument);
}

// A toolkit option at argv[index]: how many arguments it uses (1 or 2), or
// 0 when it is none (or its value is missing, then with the error set).
int takeToolkitOption(CommandLine& commandLine, int argc, const char* const* argv, int index) {
    const char* argument = argv[index];
    bool dashed = argument[0] == '-' && (argument[1] != '-' || argument[2] != '-');
    if (!dashed) return 0;
    const char* name = argument + (argument[1] == '-' ? 2 : 1);
    const char* equals = std::strchr(name, '=');
    size_t length = equals != nullptr ? static_cast<size_t>(equals - name) : std::strlen(name);
    const ToolkitOption* option = findToolkitOption(name, length);
    if (option == nullptr || (equals != nullptr && !option->takesValue)) return 0;
    if (!option->takesValue) return 1;
    if (equals != nullptr) {
        keepToolkitValue(commandLine, *option, equals + 1);
        return 1;
    }
    if (index + 1 >= argc) {
        failWith(commandLine, "missing value after ", argument);
        return 0;
    }
    keepToolkitValue(commandLine, *option, argv[index + 1]);
    return 2;
}

// --start, --headless, --status and --json go together only as they make sense.
void checkOwnOptions(CommandLine& commandLine, bool status) {
    if (commandLine.json && !status) {
        failWith(commandLine, "--json goes with ", "--status");
    } else if (commandLine.startMeasuring && status) {
        failWith(commandLine, "--start does not go with ", "--status");
    } else if (commandLine.headless && status) {
        failWith(commandLine, "--headless does not go with ", "--status");
    } else if (status) {
        commandLine.request = CommandLineRequest::Status;
    }
}

// Takes --start, --headless, --status or --json; false when the argument is
// none of them.
bool takeOwnSwitch(CommandLine& commandLine, const char* argument, bool& status) {
    if (isOwnOption(argument, "start")) commandLine.startMeasuring = true;
    else if (isOwnOption(argument, "headless")) commandLine.headless = true;
    else if (isOwnOption(argument, "status")) status = true;
    else if (isOwnOption(argument, "json")) commandLine.json = true;
    else return false;
    return true;
}

}  // namespace

CommandLine readCommandLine(int argc, const char* const* argv) {
    CommandLine commandLine;
    bool status = false;
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (isOwnOption(argument, "help") || isOwnOption(argument, "h")) {
            commandLine.request = CommandLineRequest::Help;
            return commandLine;
        }
        if (isOwnOption(argument, "version")) {
            commandLine.request = CommandLineRequest::Version;
            return commandLine;
        }
        if (takeOwnSwitch(commandLine, argument, status)) continue;
        int used = takeToolkitOption(commandLine, argc, argv, index);
        if (commandLine.request == CommandLineRequest::UsageError) return commandLine;
        if (used == 0) {
            failWith(commandLine, argument[0] == '-' ? "unknown option: " : "unexpected argument: ",
                     argument);
            return commandLine;
        }
        index += used - 1;
    }
    checkOwnOptions(commandLine, status);
    return commandLine;
}

int answerCommandLine(const CommandLine& commandLine) {
    switch (commandLine.request) {
    case CommandLineRequest::Help:
        std::fputs(kUsageLine, stdout);
        std::fputs("\n", stdout);
        std::fputs(kHelpText, stdout);
        return 0;
    case CommandLineRequest::Version:
        std::fputs("kvt936p " KVT_PROGRAM_VERSION "\n", stdout);
        return 0;
    case CommandLineRequest::UsageError:
        std::fprintf(stderr, "kvt936p: %s\n%s", commandLine.error, kUsageLine);
        return kExitUsageError;
    case CommandLineRequest::Run:
    case CommandLineRequest::Status:
        break;
    }
    return 0;
}

}  // namespace kvt
