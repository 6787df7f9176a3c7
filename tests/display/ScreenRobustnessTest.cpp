// Thousands of screens from damaged settings, odd values and stray display
// state: drawing must always finish and stay inside its tables and image.
// Built once with -fsanitize=address,undefined to catch what this cannot see.
#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "TrendFixture.h"
#include "display/ScreenDrawing.h"
#include "display/TopBar.h"
#include "display/UiRequests.h"

namespace kvt {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kScreens = 3000;

class RandomScreen {
public:
    explicit RandomScreen(unsigned seed) : random_(seed) {}

    int integer(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return integer(1, 100) <= percent; }

    double value() {
        static const double odd[] = {kNaN, kInf, -kInf, kNoData, -kNoData, 0.0, 1.0, -1.0, 1e300,
                                     -1e-300, 5e-324};
        if (chance(30)) return odd[integer(0, std::size(odd) - 1)];
        return std::uniform_real_distribution<double>(-150.0, 150.0)(random_);
    }

    void pen(PenSettings& settings) {
        settings.enabled = integer(-1, 2);
        settings.shown = integer(0, 1);
        settings.isDiscrete = chance(20) ? integer(1, 3) : 0;
        settings.logScale = chance(20) ? integer(1, 2) : 0;
        settings.logDecadesIndex = integer(-2, 7);
        settings.logLowExponent = chance(10) ? integer(-2000000000, 2000000000) : integer(-40, 40);
        settings.decimalPlaces = integer(-1, 9);
        settings.analogType = chance(30) ? 5 : integer(-1, 20);
        settings.channel = chance(50) ? 71 : integer(-5, 3000);
        settings.thickLine = integer(0, 2);
        for (double* field : {&settings.inputLow, &settings.inputHigh, &settings.scaleLow,
                              &settings.scaleHigh, &settings.plotLow, &settings.plotHigh}) {
            *field = value();
        }
        if (chance(20)) settings.plotHigh = settings.plotLow;
        for (char* text : {settings.tag, settings.unit, settings.offText, settings.onText,
                           settings.plotHighText}) {
            for (int index = 0; index < 7; ++index) text[index] = static_cast<char>(integer(-128, 127));
        }
        for (Colour* colour : {&settings.penColour, &settings.lowNormalColour, &settings.lowAlarmColour,
                               &settings.highNormalColour, &settings.highAlarmColour}) {
            *colour = static_cast<Colour>(integer(0, 0x7FFFFFFF)) * 2u;
        }
    }

    SystemTime time() {
        auto field = [this](int low, int high) { return static_cast<uint16_t>(integer(low, high)); };
        if (chance(10)) return {field(0, 65535), field(0, 99), 0, field(0, 99), field(0, 99),
                                field(0, 99), field(0, 99), field(0, 999)};
        return {2026, 3, 0, 1, field(0, 23), field(0, 59), field(0, 59), static_cast<uint16_t>(chance(50) ? 0 : 500)};
    }

    void rings(int group) {
        for (bool recorded : {false, true}) {
            int count = chance(20) ? 0 : integer(1, 2000);
            for (int k = 0; k < count; ++k) {
                SampleData sample = test::sampleAt(time(), value(), static_cast<uint8_t>(integer(0, 255)));
                for (double& v : sample.values) v = chance(80) ? sample.values[0] : value();
                test::appendRingSample(group, sample, recorded);
            }
        }
    }

    void panes() {
        for (PlaybackPane& pane : playbackPanes) {
            for (int k = 0; k < kPaneSlots; k += integer(1, 40)) {
                pane.stamps[k] = time();
                for (int pen = 0; pen < kPensPerGroup; ++pen) pane.values[pen][k] = value();
            }
        }
    }

    void displayState() {
        ConfigurationRecord& config = liveConfiguration;
        config.graphDirection = integer(-1, 7);
        config.operatingMode = integer(-1, 9);
        config.graphDrawMode = integer(-1, 3);
        int group = integer(0, 10);
        config.scalePen[group] = integer(-3, 40);
        config.selectedPen[group] = integer(-3, 40);
        if (group > 0) config.group(group).storingCycle = integer(-2, 8);
        currentGroup = chance(5) ? integer(-5, 20) : group;
        static const int modes[] = {kLiveTrend, kLiveWithPanel, kPlaybackTrend, kPlaybackWithPanel};
        displayMode = modes[integer(0, 3)];
        dividedView = integer(0, 1);
        playbackCursor = chance(30) ? integer(-100000, 100000) : integer(0, 1599);
        // The image export and retrieval are left out: they would write
        // files and replace the random panes.
        int request = chance(50) ? integer(0, 12) : integer(195, 215);
        if (request == kRequestSaveImage || request == kRequestRetrieve) request = kNoRequest;
        pendingUiRequest = chance(10) ? integer(2000, 3599) : request;
        store(blinkFlag, integer(0, 1));
    }

private:
    std::mt19937 random_;
};

class ScreenRobustnessTest : public test::TrendTest {};

TEST_F(ScreenRobustnessTest, RandomSettingsValuesAndStateAlwaysDrawASaneScreen) {
    RandomScreen random(20260301);
    DeviceContext image;
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int screen = 0; screen < kScreens; ++screen) {
        if (screen % 50 == 0) {
            test::clearTrendSources();
            for (int group = 0; group < kGroupCount; ++group) {
                for (PenSettings& settings : liveConfiguration.pens[group]) random.pen(settings);
            }
            random.rings(random.integer(0, 10));
            random.panes();
        }
        random.displayState();
        auto start = std::chrono::steady_clock::now();
        processUiRequest(image);
        drawScreenImage(image, currentTopBarState());
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        ASSERT_EQ(image.pixel(300, 10), kBarGrey) << "screen " << screen;
        ASSERT_TRUE((playbackCursor >= 0 && playbackCursor < kPaneSlots) || !isPlaybackMode(displayMode));
    }
    EXPECT_LT(std::chrono::duration<double>(slowest).count(), 0.5);
    store(g_settingsChanged, 0);
}

}  // namespace
}  // namespace kvt
