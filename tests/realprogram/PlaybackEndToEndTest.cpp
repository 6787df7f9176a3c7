// Playback in the real program on a private X server: record, stop,
// retrieve, save the screen, open the date and time dialog, divide, and go
// back to the live view.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "settings/DateTimeDialog.h"
#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/RecordedFiles.h"
#include "support/RecorderOnScreen.h"
#include "support/ScreenGrabPixels.h"

namespace kvt {
namespace {

using test::colourAt;
using test::filesEndingIn;
using test::pixelsOf;

// Points of the buttons in the main window, whose image is the screen
// grab. Playback puts "Record" where "Retrieve" was.
constexpr int kCommandY = 30, kSmallY = 10;
constexpr int kStartX = 440, kRetrieveX = 680, kRecordX = 680;
constexpr int kDateTimeX = 360, kDivideX = 280;
constexpr int kScX = 670, kExitX = 790;
// Colours as 0xRRGGBB.
constexpr unsigned kPen1 = 0x0000FF;
constexpr unsigned kBarGrey = 0x979797;
constexpr unsigned kScaleBand = 0x3F3F3F;   // playback rows 40-79; also the divider
constexpr unsigned kMarkerBand = 0xBFBFBF;  // live rows 40-79
constexpr int kWaitMs = test::XvfbSession::kWaitMs;

bool sameScreen(const QImage& a, const QImage& b) {
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (colourAt(a, x, y) != colourAt(b, x, y)) return false;
        }
    }
    return true;
}

class PlaybackEndToEnd : public test::DemoRecorderOnScreenTest {};

TEST_F(PlaybackEndToEnd, RecordStopRetrieveSaveDateTimeDivideAndBackToLive) {
    test::XvfbSession& x = session();
    test::ScreenWindow& window = mainWindow;
    ASSERT_TRUE(showing([&] { return colourAt(screen, 300, 10) == kBarGrey; })) << output();
    QImage startCaption = screen.copy(400, 20, 80, 20);

    // Record group 1 for ten seconds, then STOP and confirm.
    ASSERT_TRUE(x.click(window, kStartX, kCommandY));
    auto rows = [&] { return test::fullestGroupOneDayFile(home.dataFolder()).rows; };
    ASSERT_TRUE(test::eventually([&] { return rows() >= 20; }, kWaitMs)) << output();
    ASSERT_TRUE(stopMeasuring(kStartX, kCommandY));
    ASSERT_TRUE(showing([&] { return screen.copy(400, 20, 80, 20) == startCaption; }));

    // "Retrieve" shows the recorded trace below the playback scale band.
    ASSERT_TRUE(x.click(window, kRetrieveX, kCommandY));
    ASSERT_TRUE(showing([&] {
        return pixelsOf(screen, kScaleBand, 0, 40, 800, 80) > 10000 &&
               pixelsOf(screen, kPen1, 0, 81, 800, 600) > 20;
    }));

    // "SC" saves the picture as the screen shows it.
    ASSERT_TRUE(x.click(window, kScX, kSmallY));
    std::vector<std::string> images;
    ASSERT_TRUE(test::eventually(
        [&] { return !(images = filesEndingIn(home.dataFolder(), ".bmp")).empty(); }, kWaitMs));
    ASSERT_EQ(images.size(), 1u);
    QImage saved(QString::fromStdString(images[0]));
    ASSERT_EQ(saved.size(), QSize(800, 600));
    EXPECT_TRUE(showing([&] { return sameScreen(screen, saved); }))
        << "the saved image differs from the screen";

    // "Date Time" opens its dialog; Close ends it.
    ASSERT_TRUE(x.click(window, kDateTimeX, kCommandY));
    test::ScreenWindow dialog;
    ASSERT_TRUE(x.waitForDialog("Date time", dialog));
    ASSERT_TRUE(x.clickControl(dialog, DateTimeDialog::layout(), IDOK));
    ASSERT_TRUE(x.waitForGone(dialog));

    // "Divide" splits the view at rows 340-341; pane 2 starts at pane 1's time.
    ASSERT_TRUE(x.click(window, kDivideX, kCommandY));
    ASSERT_TRUE(showing([&] { return pixelsOf(screen, kScaleBand, 0, 340, 800, 342) == 1600; }));
    EXPECT_GT(pixelsOf(screen, kPen1, 0, 342, 800, 600), 20);

    // "Record" returns to the live view with its marker band.
    ASSERT_TRUE(x.click(window, kRecordX, kCommandY));
    ASSERT_TRUE(showing([&] { return pixelsOf(screen, kMarkerBand, 0, 40, 800, 80) > 10000; }));

    ASSERT_TRUE(x.click(window, kExitX, kSmallY));
    EXPECT_EQ(test::waitForExit(program, kWaitMs), 0) << output();
}

}  // namespace
}  // namespace kvt
