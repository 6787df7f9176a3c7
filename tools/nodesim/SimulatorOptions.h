#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kvt::nodesim {

constexpr int kAllNodes = 0;  // node key of a setting that applies to every node

enum class DiscreteMode { Toggle, On, Off };

// Register values set by hand: wire address (zero-based) -> values from
// there on, per node (kAllNodes for every node).
struct RegisterSetting {
    int node = kAllNodes;
    int address = 0;
    std::vector<int> values;
};

// Misbehaviour on demand.
struct FaultSwitches {
    int dropEvery = 0;        // TCP: close the connection at every Nth request
    std::map<int, int> delayMs;  // node (or kAllNodes) -> wait before its answers
    int corruptCrcEvery = 0;  // RTU: every Nth answer gets a wrong CRC
    int splitPauseMs = -1;    // TCP: answers in two segments, this pause between (-1 off)
    std::map<int, int> exceptionCode;       // node (or kAllNodes) -> exception code
    std::map<int, int> writeExceptionCode;  // the same for writes only
    std::set<int> silentNodes;         // nodes that never answer
};

// Line speed: the default (38,400 baud on RTU, none on TCP), or none.
constexpr int kDefaultLineSpeed = -1;
constexpr int kNoLineSpeed = 0;
constexpr int kSerialLineBaud = 38400;

struct SimulatorOptions {
    bool rtu = false;
    std::string linkPath;  // symbolic link to the pseudo-terminal
    bool tcp = false;
    std::string listenAddress = "127.0.0.1";
    int port = 502;
    std::vector<int> nodes{1};
    std::map<int, int> outputCount{{kAllNodes, 4}};  // node (or kAllNodes) -> count
    DiscreteMode discrete = DiscreteMode::Toggle;
    int togglePeriodSeconds = 10;
    bool fixed = false;
    // Answers take the time their request and themselves need on a serial
    // line of this speed, plus the node's turnaround.
    int lineBaud = kDefaultLineSpeed;
    int turnaroundMs = 0;
    std::vector<RegisterSetting> settings;
    std::string logPath;
    bool verbose = false;
    bool help = false;
    bool version = false;
    FaultSwitches faults;
};

// The value a node-keyed setting holds for `node`: its own entry, else the
// one for every node, else 0.
int valueForNode(const std::map<int, int>& values, int node);

// The line speed answers in `framing` take: --baud, else 38,400 on RTU and
// none (kNoLineSpeed) on TCP.
int lineBaudFor(const SimulatorOptions& options, bool tcp);

// The option name in `word` without its leading dashes ("--delay" -> "delay").
std::string withoutDashes(const std::string& word);

// Applies one option (and its value, when it takes one) to `options`.
// `arguments` holds the option and what follows; returns how many entries
// were used, or 0 with `error` set. Also serves the commands typed on
// standard input while the simulator runs ("--delay 100", "silent 2").
int applyOption(const std::vector<std::string>& arguments, size_t index,
                SimulatorOptions& options, std::string& error);

// Parses a whole command line (without the program name).
bool parseCommandLine(const std::vector<std::string>& arguments, SimulatorOptions& options,
                      std::string& error);

// Reads "N=V[,V...]" lines (register numbers as with --set; '#' starts a
// comment) into settings.
bool readRegisterFile(const std::string& path, SimulatorOptions& options, std::string& error);

// "Usage: kvt-nodesim ..." with its line feed, and the help text that
// follows it for --help.
const char* usageLine();
const char* usageText();

}  // namespace kvt::nodesim
