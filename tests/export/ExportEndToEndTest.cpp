// kvt-export end to end: day files written as the recorder writes them,
// read back through pandas (tests/export/check_export.py).
#include <gtest/gtest.h>

#include "core/Defaults.h"
#include "core/FieldText.h"
#include "core/SettingsFile.h"
#include "export/IsoTime.h"
#include "platform/Paths.h"
#include "platform/SjisText.h"
#include "support/DayFiles.h"
#include "support/ProgramRun.h"
#include "support/ScopedTimeZone.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

TEST(ExportEndToEnd, PandasReadsEveryValueWithZoneAwareTimes) {
    test::TempHome home;
    test::ScopedTimeZone zone("Asia/Tokyo");
    ConfigurationRecord config{};
    fillDefaults(config, 1, {2026, 1, 1});
    test::makePensPlain(config);
    setFieldText(config.pen(1, 0).tag, "Flow, total");
    setFieldText(config.pen(1, 0).unit, "m3/h");
    setFieldText(config.pen(1, 1).tag, utf8ToSjis("温度").c_str());
    setFieldText(config.pen(1, 1).unit, utf8ToSjis("℃").c_str());
    config.pen(1, 2).enabled = 0;
    config.pen(1, 3).isDiscrete = 1;
    config.group(1).storingCycle = kCycleHalfSecond;
    config.group(1).storingMode = kNormal;
    makeDataFolder();
    ASSERT_EQ(saveSettingsTo((home.dataFolder() + "/KVT936P.LPPU").c_str(), config), 0);

    // 23:59:58.000 to 00:00:03.500 across midnight, one value missing.
    int64_t start = epochMillisecondsOf({2026, 12, 9}, 23, 59, 58, 0, 9 * 3600);
    std::vector<SampleData> samples = test::samplesEvery(start, 500, 12, -3);
    samples[5].values[4] = kNoData;
    test::writeDayFiles(config, 1, samples);
    std::string secondDay = home.dataFolder() + "/20261210/GR1.CSV";
    std::string rows = test::readFile(secondDay);
    // A damaged line in the middle and a row torn off at the end.
    test::writeFile(secondDay, rows.substr(0, 512 + 171) + "00:00:00,7\n" + rows.substr(512 + 171) +
                                   rows.substr(512, 60));

    test::ProgramRun run = test::runProgram(
        "/usr/bin/python3",
        {KVT_SOURCE_DIR "/tests/export/check_export.py", KVT_BINARY_DIR "/tools/export/kvt-export",
         home.dataFolder()},
        {"TZ=Asia/Tokyo", "LANG=C.UTF-8", "HOME=" + home.path()}, 60000);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

}  // namespace
}  // namespace kvt
