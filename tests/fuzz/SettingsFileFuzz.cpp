// Fuzz target: the settings file. The input is the whole file as it lies
// on the disk, damaged or foreign. Loading must take a file that passes the
// version test byte for byte (only the mark rewritten), replace any other
// by the defaults, never read or write outside the record, and a save of
// what was loaded must load back unchanged. Then the code that reads the
// record on every pass (polling plan, alarm outputs, day-file headers and
// rows, value conversion) runs on it, and must stay inside its tables and
// keep the rows at their fixed length whatever the fields hold.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "acquisition/AlarmOutputs.h"
#include "acquisition/DemoValues.h"
#include "acquisition/PollingPlan.h"
#include "acquisition/ValueConversion.h"
#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/DeviceTables.h"
#include "core/SettingsBackup.h"
#include "core/SettingsFile.h"
#include "core/SettingsPlausibility.h"
#include "recording/CsvRow.h"
#include "support/FakeClock.h"
#include "support/FuzzInput.h"
#include "support/RowShape.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// The scratch home lies in memory where there is a tmpfs: every input is
// written, saved with fsync and read back, which a disk makes slow.
const char* memoryTemporaryFolder() {
    return std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
}

struct Scratch {
    test::ScopedEnv temporaryFolder{"TMPDIR", memoryTemporaryFolder()};
    test::TempHome home;
    test::ScopedFakeClock clock;
    std::string settingsPath = home.path() + "/KVT936P.LPPU";
    std::string savedPath = home.path() + "/saved.LPPU";
    // Records reused by every input.
    ConfigurationRecord loaded;
    ConfigurationRecord expected;
    ConfigurationRecord reloaded;
};

Scratch* scratch = nullptr;

// What loading must give: the file's bytes over a zero record (a short
// file leaves the rest zero) with the mark rewritten, or the defaults when
// the first four bytes sort below "1.01".
bool expectedRecord(const uint8_t* data, size_t size, int language, ConfigurationRecord& record) {
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    if (std::memcmp(record.version, "1.01", 4) >= 0) {
        std::memcpy(record.version, "1.01  ", 6);
        return false;
    }
    fillDefaults(record, language, yesterday());
    return true;
}

// Takes the backups kept beside `path`: their contents, and the files gone.
std::vector<std::string> takeBackups(const std::string& path) {
    std::vector<std::string> names;
    anySettingsBackup(path.c_str(), [&names](const char* backup) {
        names.emplace_back(backup);
        return false;
    });
    std::vector<std::string> contents;
    for (const std::string& name : names) {
        contents.push_back(test::readFile(name));
        std::filesystem::remove(name);
    }
    return contents;
}

// A file that is not exactly a record the program could have written is
// kept beside the settings file, byte for byte, before anything replaces
// it; a plausible one (and an empty or missing one) is not.
void checkDamagedFileKept(const uint8_t* data, size_t size) {
    bool plausible = false;
    if (size == kConfigurationRecordSize) {
        ConfigurationRecord& asFound = scratch->expected;  // reused before expectedRecord fills it
        std::memcpy(&asFound, data, size);
        plausible = firstImplausibleField(asFound) == nullptr;
    }
    std::vector<std::string> backups = takeBackups(scratch->settingsPath);
    if (size == 0 || plausible) {
        FUZZ_CHECK(backups.empty());
        return;
    }
    FUZZ_CHECK(backups.size() == 1);
    FUZZ_CHECK(backups[0] == std::string(reinterpret_cast<const char*>(data), size));
}

bool sameRecord(const ConfigurationRecord& left, const ConfigurationRecord& right) {
    return std::memcmp(&left, &right, sizeof left) == 0;
}

void checkSaveLoadsBack(const ConfigurationRecord& loaded, int language) {
    FUZZ_CHECK(saveSettingsTo(scratch->savedPath.c_str(), loaded) == 0);
    FUZZ_CHECK(std::filesystem::file_size(scratch->savedPath) == kConfigurationRecordSize);
    ConfigurationRecord& reloaded = scratch->reloaded;
    std::memset(&reloaded, 0xA5, sizeof reloaded);  // must be overwritten entirely
    loadSettingsFrom(scratch->savedPath.c_str(), reloaded, language);
    takeBackups(scratch->savedPath);  // a damaged record loads back damaged
    FUZZ_CHECK(sameRecord(reloaded, loaded));
}

void checkPollingReaders(const ConfigurationRecord& record) {
    PollingPlan plan;
    buildPollingPlan(record, plan);
    for (int node = 1; node <= kNodeCount; ++node) {
        uint64_t blocks = polledBlocks(record, node);
        FUZZ_CHECK(blocks >> kMod15BlockCount == 0);
        FUZZ_CHECK((blocks != 0) == plan.analog[node - 1]);
    }
    AlarmOutputPlan outputs;
    planAlarmOutputs(record, outputs);
    for (int bits : outputs.bits) FUZZ_CHECK(bits >= 0 && bits < (1 << kAlarmOutputsPerNode));
}

// Values a row meets: ordinary, no data, huge, tiny, signed zero, not a number.
constexpr double kRowValues[] = {0.0,    1.0,     -1.0,  12.345, kNoData, 4.8e7,
                                 -1e300, 1e-300, -0.0,  NAN,    INFINITY, 99999999.5};

void checkDayFileText(const ConfigurationRecord& record) {
    for (int group = 0; group < kGroupCount; ++group) {
        char block[kHeaderBlockSize];
        formatHeaderBlock(block, record, group, HeaderLine::Tags);
        FUZZ_CHECK(block[kHeaderBlockSize - 1] == '\n');
        formatHeaderBlock(block, record, group, HeaderLine::Units);
        FUZZ_CHECK(block[kHeaderBlockSize - 1] == '\n');

        SampleData sample{};
        sample.time = test::makeTime(2026, 3, 7, 23, 59, 59, 500);
        sample.trigger = 1;
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            sample.values[pen] = kRowValues[(pen + group) % std::size(kRowValues)];
        }
        int length = rowLengthOf(group);
        auto row = test::exactBuffer(static_cast<size_t>(length));
        FUZZ_CHECK(formatCsvRow(row.get(), record, group, sample) == length);
        FUZZ_CHECK(test::hasDayFileRowShape(row.get(), length, group));
    }
}

void checkValueConversion(const ConfigurationRecord& record) {
    for (int group = 0; group < kGroupCount; ++group) {
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            const PenSettings& settings = record.pen(group, pen);
            scaleToEngineering(settings, 50.0);
            demoAnalogValue(settings, pen, 0x9E3779B9u);
        }
    }
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvt::scratch = new kvt::Scratch;  // lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::writeFile(scratch->settingsPath, std::string(reinterpret_cast<const char*>(data), size));
    int language = static_cast<int>(size & 1);

    // A fresh start: the record is all zero when the file is read.
    ConfigurationRecord& loaded = scratch->loaded;
    std::memset(&loaded, 0, sizeof loaded);
    loadSettingsFrom(scratch->settingsPath.c_str(), loaded, language);

    checkDamagedFileKept(data, size);
    bool usedDefaults = expectedRecord(data, size, language, scratch->expected);
    FUZZ_CHECK(sameRecord(loaded, scratch->expected));
    FUZZ_CHECK(std::memcmp(loaded.version, "1.01  ", 6) == 0);
    // The defaults that replace a rejected file are a plausible record.
    if (usedDefaults) FUZZ_CHECK(firstImplausibleField(loaded) == nullptr);

    checkSaveLoadsBack(loaded, language);
    checkPollingReaders(loaded);
    checkDayFileText(loaded);
    checkValueConversion(loaded);
    return 0;
}
