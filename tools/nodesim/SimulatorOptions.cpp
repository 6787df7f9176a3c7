#include "SimulatorOptions.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kvt::nodesim {
namespace {

bool parseNumber(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0' || parsed < -2147483647L || parsed > 2147483647L) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parseNumberInRange(const std::string& text, int low, int high, int& value) {
    return parseNumber(text, value) && value >= low && value <= high;
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

// "[NODE:]REST" -> node (kAllNodes without prefix) and REST.
bool splitNodePrefix(const std::string& text, int& node, std::string& rest) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) {
        node = kAllNodes;
        rest = text;
        return true;
    }
    rest = text.substr(colon + 1);
    return parseNumberInRange(text.substr(0, colon), 1, 247, node);
}

// "1,2,5-7" -> nodes.
bool parseNodeList(const std::string& text, std::vector<int>& nodes) {
    nodes.clear();
    for (const std::string& item : splitOn(text, ',')) {
        size_t dash = item.find('-', 1);
        int first = 0;
        int last = 0;
        if (dash == std::string::npos) {
            if (!parseNumberInRange(item, 1, 247, first)) return false;
            last = first;
        } else if (!parseNumberInRange(item.substr(0, dash), 1, 247, first) ||
                   !parseNumberInRange(item.substr(dash + 1), first, 247, last)) {
            return false;
        }
        for (int node = first; node <= last; ++node) nodes.push_back(node);
    }
    return !nodes.empty();
}

// "[NODE:]N=V[,V...]"; `numberBase` 1 for register numbers, 0 for wire addresses.
bool parseSetting(const std::string& text, int numberBase, RegisterSetting& setting) {
    std::string rest;
    if (!splitNodePrefix(text, setting.node, rest)) return false;
    size_t equals = rest.find('=');
    if (equals == std::string::npos) return false;
    int number = 0;
    if (!parseNumberInRange(rest.substr(0, equals), numberBase, 0xFFFF + numberBase, number)) {
        return false;
    }
    setting.address = number - numberBase;
    setting.values.clear();
    for (const std::string& item : splitOn(rest.substr(equals + 1), ',')) {
        int value = 0;
        if (!parseNumberInRange(item, -32768, 0xFFFF, value)) return false;
        setting.values.push_back(value & 0xFFFF);
    }
    return !setting.values.empty();
}

// "[NODE:]N" into a node-keyed setting; "off" clears it. Without a node
// the value holds for every node and replaces the per-node ones.
bool applyNodeSetting(const std::string& value, int low, int high, std::map<int, int>& values) {
    if (value == "off") {
        values.clear();
        return true;
    }
    int node = kAllNodes;
    int number = 0;
    std::string rest;
    if (!splitNodePrefix(value, node, rest) || !parseNumberInRange(rest, low, high, number)) {
        return false;
    }
    if (node == kAllNodes) values.clear();
    values[node] = number;
    return true;
}

bool isFlag(const std::string& name) {
    static const std::set<std::string> flags = {"rtu",     "tcp",  "fixed",
                                                "verbose", "help", "h", "version"};
    return flags.count(name) != 0;
}

bool takesValue(const std::string& name) {
    static const std::set<std::string> valued = {
        "link",     "listen",      "port",   "nodes",      "outputs",     "discrete",
        "toggle-period", "register-file", "set", "set-address", "log",   "drop-every",
        "delay",    "corrupt-crc", "split",  "exception",  "write-exception", "silent",
        "answer", "baud", "turnaround"};
    return valued.count(name) != 0;
}

bool applyValue(const std::string& name, const std::string& value, SimulatorOptions& options,
                std::string& error) {
    FaultSwitches& faults = options.faults;
    int number = 0;
    int node = kAllNodes;
    std::string rest;
    if (name == "link") {
        options.rtu = true;
        options.linkPath = value;
        return !value.empty();
    }
    if (name == "listen") {
        options.tcp = true;
        options.listenAddress = value;
        return !value.empty();
    }
    if (name == "port") {
        options.tcp = true;
        return parseNumberInRange(value, 1, 65535, options.port);
    }
    if (name == "nodes") return parseNodeList(value, options.nodes);
    if (name == "outputs") {
        bool valid = splitNodePrefix(value, node, rest) &&
                     parseNumberInRange(rest, -128, 0xFFFF, number);
        if (!valid) return false;
        options.outputCount[node] = number;
        return true;
    }
    if (name == "discrete") {
        if (value == "on") options.discrete = DiscreteMode::On;
        else if (value == "off") options.discrete = DiscreteMode::Off;
        else if (value == "toggle") options.discrete = DiscreteMode::Toggle;
        else return false;
        return true;
    }
    if (name == "toggle-period") {
        return parseNumberInRange(value, 1, 86400, options.togglePeriodSeconds);
    }
    if (name == "register-file") return readRegisterFile(value, options, error);
    if (name == "set" || name == "set-address") {
        RegisterSetting setting;
        if (!parseSetting(value, name == "set" ? 1 : 0, setting)) return false;
        options.settings.push_back(setting);
        return true;
    }
    if (name == "log") {
        options.logPath = value;
        return !value.empty();
    }
    if (name == "baud") {
        if (value == "off") {
            options.lineBaud = kNoLineSpeed;
            return true;
        }
        return parseNumberInRange(value, 300, 4000000, options.lineBaud);
    }
    if (name == "turnaround") return parseNumberInRange(value, 0, 600000, options.turnaroundMs);
    if (name == "drop-every") return parseNumberInRange(value, 0, 1000000, faults.dropEvery);
    if (name == "delay") return applyNodeSetting(value, 0, 600000, faults.delayMs);
    if (name == "corrupt-crc") return parseNumberInRange(value, 0, 1000000, faults.corruptCrcEvery);
    if (name == "split") {
        if (value == "off") {
            faults.splitPauseMs = -1;
            return true;
        }
        return parseNumberInRange(value, 0, 600000, faults.splitPauseMs);
    }
    if (name == "exception") return applyNodeSetting(value, 1, 255, faults.exceptionCode);
    if (name == "write-exception") {
        return applyNodeSetting(value, 1, 255, faults.writeExceptionCode);
    }
    if (name == "silent" || name == "answer") {
        if (value == "off" || value == "all") {
            faults.silentNodes.clear();
            return name == "answer" || value == "off";
        }
        if (!parseNumberInRange(value, 1, 247, number)) return false;
        if (name == "silent") faults.silentNodes.insert(number);
        else faults.silentNodes.erase(number);
        return true;
    }
    return false;
}

bool applyFlag(const std::string& name, SimulatorOptions& options) {
    if (name == "rtu") options.rtu = true;
    else if (name == "tcp") options.tcp = true;
    else if (name == "fixed") options.fixed = true;
    else if (name == "verbose") options.verbose = true;
    else if (name == "help" || name == "h") options.help = true;
    else if (name == "version") options.version = true;
    else return false;
    return true;
}

}  // namespace

int valueForNode(const std::map<int, int>& values, int node) {
    auto found = values.find(node);
    if (found == values.end()) found = values.find(kAllNodes);
    return found == values.end() ? 0 : found->second;
}

int lineBaudFor(const SimulatorOptions& options, bool tcp) {
    if (options.lineBaud != kDefaultLineSpeed) return options.lineBaud;
    return tcp ? kNoLineSpeed : kSerialLineBaud;
}

std::string withoutDashes(const std::string& word) {
    size_t start = word.find_first_not_of('-');
    return start == std::string::npos ? std::string() : word.substr(start);
}

int applyOption(const std::vector<std::string>& arguments, size_t index,
                SimulatorOptions& options, std::string& error) {
    std::string name = withoutDashes(arguments[index]);
    std::string value;
    size_t equals = name.find('=');
    bool inlineValue = equals != std::string::npos && takesValue(name.substr(0, equals));
    if (inlineValue) {  // --name=value
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
    }
    if (isFlag(name) && applyFlag(name, options)) return 1;
    if (!takesValue(name)) {
        error = "unknown option: " + arguments[index];
        return 0;
    }
    if (!inlineValue) {
        if (index + 1 >= arguments.size()) {
            error = "missing value after " + arguments[index];
            return 0;
        }
        value = arguments[index + 1];
    }
    error.clear();
    if (!applyValue(name, value, options, error)) {
        if (error.empty()) error = "bad value for " + arguments[index] + ": " + value;
        return 0;
    }
    return inlineValue ? 1 : 2;
}

bool parseCommandLine(const std::vector<std::string>& arguments, SimulatorOptions& options,
                      std::string& error) {
    for (size_t index = 0; index < arguments.size();) {
        int used = applyOption(arguments, index, options, error);
        if (used == 0) return false;
        index += static_cast<size_t>(used);
    }
    if (!options.help && !options.version && !options.rtu && !options.tcp) {
        error = "nothing to serve: give --rtu and/or --tcp";
        return false;
    }
    return true;
}

bool readRegisterFile(const std::string& path, SimulatorOptions& options, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        std::string compact;
        for (char character : line) {
            if (character != ' ' && character != '\t' && character != '\r') compact += character;
        }
        if (compact.empty()) continue;
        RegisterSetting setting;
        if (!parseSetting(compact, 1, setting)) {
            error = path + ":" + std::to_string(lineNumber) + ": expected N=V[,V...]";
            return false;
        }
        options.settings.push_back(setting);
    }
    return true;
}

const char* usageLine() {
    return "Usage: kvt-nodesim [--rtu [--link PATH]] [--tcp [--listen ADDRESS] [--port N]] "
           "[options]\n";
}

const char* usageText() {
    return R"(
kvt-nodesim: answers as one or more MOD-15 power-meter nodes.

Where it answers
  --rtu                 Modbus RTU on a new pseudo-terminal; its path is printed
                        as "rtu PATH".
  --link PATH           also place a symbolic link to the pseudo-terminal at PATH
                        (e.g. ~/.config/kvt936p/com1; folders are created); implies --rtu.
  --tcp                 Modbus/TCP server; printed as "tcp ADDRESS:PORT".
  --listen ADDRESS      listen address (default 127.0.0.1); implies --tcp.
  --port N              TCP port (default 502); implies --tcp.
When everything is set up it prints "ready".

Nodes and registers (register numbers are 1-based like pen channels: register
number N is wire address N-1; wire addresses are zero-based)
  --nodes LIST          node addresses served, e.g. 1,2,5-7 (default 1). On TCP
                        other unit ids get exception 0x0B; on RTU no answer.
  --outputs [NODE:]N    output register count at wire address 0x2598 (default 4).
  --discrete MODE       discrete input at wire address 0x0C00: toggle (default),
                        on or off.
  --toggle-period S     seconds between toggles of the discrete input (default 10).
  --fixed               deterministic registers: register number N holds N
                        (so a 32-bit pen on channel C reads (C+1)*65536 + C);
                        otherwise registers 1-2176 carry slowly varying
                        power-meter values (map in README.md).
  --set [NODE:]N=V[,V...]
                        register number N (and the following ones) hold the
                        values V (decimal, 0x hex, or negative 16-bit) for good,
                        e.g. --set 193=0xFFFF,0xFFFF. Repeatable.
  --set-address [NODE:]ADDR=V[,V...]
                        the same by zero-based wire address, e.g. 0x0C00=1.
  --register-file PATH  lines "N=V[,V...]" as with --set ('#' comments).

Line time
  --baud N              answers take the time their request and themselves
                        need on a serial line of N baud (11 bits a character:
                        start, 8 data, parity, stop), counted from the request's
                        arrival; the default is 38400 on RTU and none on TCP,
                        where the RTU form of both frames is counted, like the
                        serial line behind a real gateway. "--baud off": none.
  --turnaround MS       the node's own time between request and answer, added
                        to the line time (default 0).

Logging
  Every write (function 16 or 6) is logged as
    write node=N address=0x0C20 values=1,0,0,0
  on standard output, or appended to the file given by --log PATH.
  --verbose             also log every request and what was done with it.

Faults
  --drop-every N        TCP: close the connection instead of answering every Nth
                        request; RTU: leave every Nth request unanswered (0 off).
  --delay [NODE:]MS     wait MS milliseconds before every answer (of NODE), also
                        before the exception 0x0B for a unit that is not
                        simulated; the gateway serves nobody meanwhile, like one
                        serial line behind it ("--delay off" ends it).
  --corrupt-crc N       RTU: every Nth answer carries a wrong CRC (1 = all, 0 off).
  --exception [NODE:]CODE
                        answer every request (of NODE) with exception CODE;
                        "--exception off" ends it.
  --write-exception [NODE:]CODE
                        answer only the writes (of NODE) with exception CODE;
                        "--write-exception off" ends it.
  --split MS            TCP: send every answer in two segments with MS ms
                        between them; "--split off" ends it.
  --silent NODE         NODE never answers; "--answer NODE" (or "--silent off")
                        brings it back.

Commands on standard input
  While running, every line on standard input is applied like an option, with
  or without the dashes, e.g. "silent 2", "--delay 100", "set 5=7",
  "exception off". Unknown commands print "error: ..." on standard error.

  --help                this text.
  --version             the version.
)";
}

}  // namespace kvt::nodesim
