#include <gtest/gtest.h>

#include <filesystem>

#include "core/Defaults.h"
#include "export/DayFileRows.h"
#include "export/IsoTime.h"
#include "export/PenLabels.h"
#include "recording/CsvRow.h"
#include "support/DayFiles.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

std::string headerBlock(const std::string& text) {
    std::string block = text;
    block.resize(kHeaderBlockSize - 1, '\0');
    return block + "\n";
}

TEST(ExportParts, HeaderTextsWithCommasAreTakenWholeWhereTheSettingsKnowThem) {
    const std::string_view none[kPensPerGroup] = {};
    const std::string_view known[kPensPerGroup] = {"A", "Flow, total", "C"};
    const struct {
        std::string block;
        const std::string_view (&known)[kPensPerGroup];
        std::vector<std::string> firstThree;
        std::string last;
    } cases[] = {
        {",,,A,Flow, total,C,,,,,,,,,L", known, {"A", "Flow, total", "C"}, "L"},
        {",,,A,Flow,C,,,,,,,,,L", known, {"A", "Flow", "C"}, "L"},  // renamed since
        {",,,A,Flow, total,C,,,,,,,,,L", none, {"A", "Flow", " total"}, ",L"},
        {",,,A,B", known, {"A", "B", ""}, ""},  // cut short
    };
    for (const auto& entry : cases) {
        std::string texts[kPensPerGroup];
        ASSERT_TRUE(splitHeaderBlock(headerBlock(entry.block), 1, entry.known, texts));
        EXPECT_EQ(std::vector<std::string>(texts, texts + 3), entry.firstThree) << entry.block;
        EXPECT_EQ(texts[11], entry.last) << entry.block;
    }
}

TEST(ExportParts, RowsAfterTheClocksWentBackGetTheLaterOffset) {
    test::ScopedTimeZone zone(test::kCentralEuropeTz);
    RowOffsets offsets;
    const struct {
        int day, hour, minute;
        int offsetHours;
    } rows[] = {
        {25, 1, 59, 2}, {25, 2, 0, 2}, {25, 2, 59, 2},  // summer time
        {25, 2, 0, 1},  {25, 2, 30, 1}, {25, 3, 0, 1},  // the hour again, winter time
        {29, 3, 0, 1},  // not a day of a change
    };
    for (const auto& row : rows) {
        EXPECT_EQ(offsets.offsetOf({2026, 10, row.day}, row.hour, row.minute, 0, 0), row.offsetHours * 3600)
            << row.day << " " << row.hour << ":" << row.minute;
    }
}

TEST(ExportParts, ARowAfterGarbageOnItsLineIsReadAndTheGarbageCounted) {
    test::TempHome home;
    ConfigurationRecord config{};
    fillDefaults(config, 1, {2026, 1, 1});
    test::makePensPlain(config);
    std::vector<SampleData> samples = test::samplesEvery(1796896800000, 1000, 3);
    test::writeDayFiles(config, 2, samples);
    std::string path = test::dayFilePathOf(samples[0].time, 2);
    std::string bytes = test::readFile(path);
    test::writeFile(path, bytes.substr(0, 512 + 171) + std::string(40, '\0') + bytes.substr(512 + 171, 171) +
                              bytes.substr(512 + 342, 100));
    const SystemTime& day = samples[0].time;
    DayFileRows file(home.dataFolder().c_str(), {day.year, day.month, day.day}, 2);
    ASSERT_EQ(file.opening(), DayFileRows::Opening::Opened);
    int rows = 0;
    while (file.next()) EXPECT_EQ(file.values()[0], test::plainPenValue(rows++, 0));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(file.skippedRows(), 2);  // the garbage and the torn last row

    std::filesystem::remove(path);
    std::filesystem::create_symlink(home.path() + "/elsewhere", path);
    DayFileRows link(home.dataFolder().c_str(), {day.year, day.month, day.day}, 2);
    EXPECT_EQ(link.opening(), DayFileRows::Opening::Refused);
}

}  // namespace
}  // namespace kvt
