// kvt-simsettings serial|tcp|soak|demo [SETTINGS-FILE]   (also --help, --version)
//
// Writes a settings file for trying the recorder against the node
// simulator: normal mode, nodes 1 and 2 (MOD-15) on COM1 or on the gateway
// 127.0.0.1, group 1 reading node 1 and group 2 reading node 2, both every
// second with normal recording, and an upper alarm on I1 that drives output
// 1 of its node. "soak" is "tcp" plus group 3 recording every half second
// from both nodes; "demo" is demonstration mode with all ten groups
// recording every half second (the fault soak's two phases). Without a file
// name it writes the recorder's own settings file in ~/KVT936P_U_DATA.
#include <cstdio>
#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/FieldText.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"
#include "ProgramVersion.h"

namespace {

using namespace kvt;

struct PenPlan {
    const char* tag;
    const char* unit;
    int channel;
    int analogType;
    const char* inputLow;
    const char* inputHigh;
    const char* scaleLow;
    const char* scaleHigh;
    const char* plotLow;
    const char* plotHigh;
    int decimals;
};

// Quantities of the simulated power meter (see tools/nodesim/README.md).
constexpr PenPlan kPens[11] = {
    {"I1", "A", 1, 0, "0", "200000", "0", "200", "0", "200", 1},
    {"I2", "A", 3, 0, "0", "200000", "0", "200", "0", "200", 1},
    {"I3", "A", 5, 0, "0", "200000", "0", "200", "0", "200", 1},
    {"U1N", "V", 31, 1, "0", "300", "0", "300", "200", "260", 1},
    {"F", "Hz", 13, 6, "0", "70", "0", "70", "49", "51", 2},
    {"PF", "", 11, 5, "-1", "1", "-1", "1", "-1", "1", 3},
    {"P", "kW", 17, 2, "0", "150000", "0", "150", "0", "150", 1},
    {"Q", "kvar", 19, 3, "0", "100000", "0", "100", "0", "100", 1},
    {"S", "kVA", 21, 4, "0", "150000", "0", "150", "0", "150", 1},
    {"EP", "kWh", 193, 8, "0", "1.0e8", "0", "1.0e8", "0", "1.0e6", 1},
    {"THD I1", "%", 257, 12, "0", "999.9", "0", "999.9", "0", "10", 1},
};

void planAnalogPen(PenSettings& pen, int node, const PenPlan& plan) {
    pen.enabled = 1;
    pen.node = node;
    pen.channel = plan.channel;
    pen.analogType = plan.analogType;
    pen.decimalPlaces = plan.decimals;
    setFieldText(pen.tag, plan.tag);
    setFieldText(pen.unit, plan.unit);
    setTypedValue(pen.inputLow, pen.inputLowText, plan.inputLow);
    setTypedValue(pen.inputHigh, pen.inputHighText, plan.inputHigh);
    setTypedValue(pen.scaleLow, pen.scaleLowText, plan.scaleLow);
    setTypedValue(pen.scaleHigh, pen.scaleHighText, plan.scaleHigh);
    setTypedValue(pen.plotLow, pen.plotLowText, plan.plotLow);
    setTypedValue(pen.plotHigh, pen.plotHighText, plan.plotHigh);
}

void planGroup(ConfigurationRecord& record, int group, int node) {
    for (int index = 0; index < 11; ++index) {
        planAnalogPen(record.pen(group, index), node, kPens[index]);
    }
    PenSettings& input = record.pen(group, 11);
    input.enabled = 1;
    input.isDiscrete = 1;
    input.node = node;
    input.channel = 1;
    setFieldText(input.tag, "Input");
    setFieldText(input.unit, "");
    // An upper alarm on I1 drives output 1 of the node.
    PenSettings& current = record.pen(group, 0);
    setTypedValue(current.alarmLimitHigh, current.alarmLimitHighText, "122");
    setTypedValue(current.deadbandHigh, current.deadbandHighText, "1");
    current.alarmOutput[1] = 1;
    current.alarmOutputNode[1] = node;
    current.alarmOutputChannel[1] = 1;
    record.group(group).storingCycle = kCycle1s;
    record.group(group).storingMode = kNormal;
}

// Group 3: the first six quantities of node 1 and of node 2, every 0.5 s.
void planMixedGroup(ConfigurationRecord& record) {
    for (int index = 0; index < kPensPerGroup; ++index) {
        int node = index < kPensPerGroup / 2 ? 1 : 2;
        planAnalogPen(record.pen(3, index), node, kPens[index % (kPensPerGroup / 2)]);
    }
    record.group(3).storingCycle = kCycleHalfSecond;
    record.group(3).storingMode = kNormal;
}

// Demonstration mode: every pen of groups 1-10 on, all recorded every 0.5 s.
ConfigurationRecord demoSettings() {
    ConfigurationRecord record{};
    fillDefaults(record, 1, yesterday());
    record.operatingMode = kDemoMode;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            PenSettings& settings = record.pen(group, pen);
            settings.enabled = 1;
            // The factory plot range (0-100 of a 0-2e9 scale) would put the
            // demonstration values past the graph's edge; plot the scale.
            setTypedValue(settings.plotLow, settings.plotLowText, settings.scaleLowText);
            setTypedValue(settings.plotHigh, settings.plotHighText, settings.scaleHighText);
        }
        record.group(group).storingCycle = kCycleHalfSecond;
        record.group(group).storingMode = kNormal;
    }
    return record;
}

ConfigurationRecord simulatorSettings(bool overTcp) {
    ConfigurationRecord record{};
    fillDefaults(record, 1, yesterday());
    record.operatingMode = kNormalMode;
    record.commPort = overTcp ? kCommPortTcp : 0;
    const int gateway[4] = {127, 0, 0, 1};
    for (int octet = 0; octet < 4; ++octet) record.ipAddress[octet] = gateway[octet];
    record.nodeEnabled[1] = 1;  // node 2 beside node 1
    for (int pen = 0; pen < kPensPerGroup; ++pen) record.pen(1, pen).enabled = 0;
    planGroup(record, 1, 1);
    planGroup(record, 2, 2);
    return record;
}

constexpr const char* kUsageLine = "Usage: kvt-simsettings serial|tcp|soak|demo [SETTINGS-FILE]\n";

constexpr const char* kHelpText =
    "\n"
    "Writes recorder settings for the node simulator (kvt-nodesim): normal mode,\n"
    "nodes 1 and 2 (MOD-15) on COM1 (serial) or behind the gateway 127.0.0.1\n"
    "(tcp), groups 1 and 2 reading them every second, an upper alarm on I1\n"
    "driving output 1. soak is tcp plus group 3 reading both nodes every half\n"
    "second; demo is demonstration mode with all ten groups recording every\n"
    "half second and every pen plotted over its whole scale, so that the\n"
    "demonstration traces show. Without SETTINGS-FILE it replaces the\n"
    "recorder's own settings file in ~/KVT936P_U_DATA.\n"
    "\n"
    "  --help        this text.\n"
    "  --version     the version.\n";

bool isOption(const char* argument, const char* name) {
    while (*argument == '-') ++argument;
    return std::strcmp(argument, name) == 0;
}

int usageError(const char* what, const char* argument = "") {
    std::fprintf(stderr, "kvt-simsettings: %s%s\n%s", what, argument, kUsageLine);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    for (int index = 1; index < argc; ++index) {
        if (argv[index][0] != '-') continue;
        if (isOption(argv[index], "help") || isOption(argv[index], "h")) {
            std::printf("%s%s", kUsageLine, kHelpText);
            return 0;
        }
        if (isOption(argv[index], "version")) {
            std::puts("kvt-simsettings " KVT_PROGRAM_VERSION);
            return 0;
        }
        return usageError("unknown option: ", argv[index]);
    }
    if (argc < 2) return usageError("which settings? serial, tcp, soak or demo");
    auto is = [argv](const char* name) { return std::strcmp(argv[1], name) == 0; };
    if (!is("serial") && !is("tcp") && !is("soak") && !is("demo")) {
        return usageError("unknown settings: ", argv[1]);
    }
    if (argc > 3) return usageError("unexpected argument: ", argv[3]);
    ConfigurationRecord record = is("demo") ? demoSettings() : simulatorSettings(!is("serial"));
    if (is("soak")) planMixedGroup(record);
    const char* problem = argc < 3 ? homeFolderProblem() : nullptr;
    if (problem != nullptr) {
        std::fprintf(stderr, "kvt-simsettings: %s; give the settings file's path instead\n", problem);
        return 1;
    }
    const char* path = argc >= 3 ? argv[2] : settingsFilePath();
    if (argc < 3) makeDataFolder();
    if (saveSettingsTo(path, record) != 0) {
        std::fprintf(stderr, "kvt-simsettings: cannot write %s\n", path);
        return 1;
    }
    std::printf("%s settings written to %s\n", argv[1], path);
    return 0;
}
