// kvt-simsettings [--if-missing] serial|tcp|soak|demo|demo-all [SETTINGS-FILE]
//                                                   (also --help, --version)
//
// Writes a settings file for trying the recorder against the node
// simulator: normal mode, nodes 1 and 2 (MOD-15) on COM1 or on the gateway
// 127.0.0.1, group 1 reading node 1 and group 2 reading node 2, both every
// second with normal recording, and an upper alarm on I1 that drives output
// 1 of its node. "soak" is "tcp" plus group 3 recording every half second
// from both nodes. "demo" is the settings ./run.sh starts a new user with
// (see DemoSettings.h); "demo-all" the same for all ten groups (with "soak"
// the fault soak's two phases). Without a file name it writes the
// recorder's own settings file in ~/KVT936P_U_DATA; with --if-missing only
// when there is none yet.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "acquisition/DemoSettings.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/FieldText.h"
#include "core/SettingsFile.h"
#include "platform/Language.h"
#include "platform/Paths.h"
#include "platform/ReplacementFile.h"
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

constexpr const char* kUsageLine =
    "Usage: kvt-simsettings [--if-missing] serial|tcp|soak|demo|demo-all [SETTINGS-FILE]\n";

constexpr const char* kHelpText =
    "\n"
    "Writes recorder settings for the node simulator (kvt-nodesim): normal mode,\n"
    "nodes 1 and 2 (MOD-15) on COM1 (serial) or behind the gateway 127.0.0.1\n"
    "(tcp), groups 1 and 2 reading them every second, an upper alarm on I1\n"
    "driving output 1. soak is tcp plus group 3 reading both nodes every half\n"
    "second. demo is what ./run.sh starts a new user with: the factory settings\n"
    "in demonstration mode, group 1 recording every half second and its pens\n"
    "plotted over the range of the demonstration values, so that every trace\n"
    "shows; demo-all the same for all ten groups. The demo tags are in the\n"
    "language of the locale, as the recorder's own. Without SETTINGS-FILE it\n"
    "replaces the recorder's own settings file in ~/KVT936P_U_DATA.\n"
    "\n"
    "  --if-missing  write only when there is no settings file yet; one that\n"
    "                is there stays as it is.\n"
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

ConfigurationRecord settingsFor(const char* mode) {
    auto is = [mode](const char* name) { return std::strcmp(mode, name) == 0; };
    ConfigurationRecord record{};
    if (is("demo") || is("demo-all")) {
        fillDemoSettings(record, languageFromLocale(), is("demo") ? 1 : kTrendGroupCount);
        return record;
    }
    record = simulatorSettings(!is("serial"));
    if (is("soak")) planMixedGroup(record);
    return record;
}

bool knownMode(const char* mode) {
    for (const char* name : {"serial", "tcp", "soak", "demo", "demo-all"}) {
        if (std::strcmp(mode, name) == 0) return true;
    }
    return false;
}

// Returns the exit code.
int writeSettings(const char* mode, const char* path, bool ifMissing) {
    ConfigurationRecord record = settingsFor(mode);
    ReplacementFile file(path);
    bool written = file.write(&record, sizeof record) &&
                   (ifMissing ? file.commitIfAbsent() : file.commit());
    if (!written && ifMissing && errno == EEXIST) return 0;
    if (!written) {
        std::fprintf(stderr, "kvt-simsettings: cannot write %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::printf("%s settings written to %s\n", mode, path);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool ifMissing = false;
    const char* words[2] = {nullptr, nullptr};
    int wordCount = 0;
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (argument[0] != '-') {
            if (wordCount == 2) return usageError("unexpected argument: ", argument);
            words[wordCount++] = argument;
        } else if (isOption(argument, "help") || isOption(argument, "h")) {
            std::printf("%s%s", kUsageLine, kHelpText);
            return 0;
        } else if (isOption(argument, "version")) {
            std::puts("kvt-simsettings " KVT_PROGRAM_VERSION);
            return 0;
        } else if (isOption(argument, "if-missing")) {
            ifMissing = true;
        } else {
            return usageError("unknown option: ", argument);
        }
    }
    if (wordCount == 0) return usageError("which settings? serial, tcp, soak, demo or demo-all");
    if (!knownMode(words[0])) return usageError("unknown settings: ", words[0]);
    if (wordCount < 2) {
        if (const char* problem = homeFolderProblem()) {
            std::fprintf(stderr, "kvt-simsettings: %s; give the settings file's path instead\n",
                         problem);
            return 1;
        }
        makeDataFolder();
    }
    return writeSettings(words[0], wordCount == 2 ? words[1] : settingsFilePath(), ifMissing);
}
