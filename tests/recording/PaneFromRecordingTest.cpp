#include <gtest/gtest.h>

#include <cmath>

#include "RecordingFixture.h"
#include "acquisition/ValueConversion.h"
#include "core/RunFlags.h"
#include "recording/PaneLoading.h"
#include "recording/PlaybackPanes.h"
#include "recording/RecordingWriter.h"

namespace kvt {
namespace {

// Samples go through the recording scheduler and the recording writer into
// the day file, and a pane loaded from it gives back what each kind of pen
// recorded: the scaled value to its decimals, the discrete state, the
// exponent form of a logarithmic pen, 0 for a pen switched off.
class PaneFromRecording : public test::RecordingTest {};

TEST_F(PaneFromRecording, PaneShowsWhatTheRecorderWrote) {
    settings(1).storingMode = kNormal;
    settings(1).storingCycle = kCycleHalfSecond;
    PenSettings* pens = liveConfiguration.pens[1];
    pens[1].isDiscrete = 1;
    pens[2].logScale = 1;
    for (int pen = 0; pen < 4; ++pen) pens[pen].enabled = pen != 3;

    feedSamples(1, 200, 10);  // 10:00:00.000 to 10:01:39.500, pens at 10 + k
    stopMeasurement();
    while (pendingRowCount() > 0) ASSERT_GT(writerPass(), 0);

    resetPlaybackPanes();
    currentGroup = 1;
    playbackPanes[0].referenceTime[1] = test::localEpochSeconds(2026, 3, 7, 10, 1, 39);
    loadPane(1);

    const PlaybackPane& pane = playbackPanes[0];
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        int sample = 198 - slot;  // slot 0 is 10:01:39.000
        if (sample < 0) {
            ASSERT_EQ(pane.values[0][slot], kNoData) << slot;
            continue;
        }
        double recorded = 10 + sample;
        double tolerance = 0.5 * std::pow(10.0, -pens[0].decimalPlaces);
        ASSERT_NEAR(pane.values[0][slot], scaleToEngineering(pens[0], recorded), tolerance);
        ASSERT_EQ(pane.values[1][slot], 0) << "discrete, not exactly 1";
        double logValue = scaleToEngineering(pens[2], recorded);
        ASSERT_NEAR(pane.values[2][slot], logValue, std::fabs(logValue) * 0.01);
        ASSERT_EQ(pane.values[3][slot], 0) << "switched off: a blank field";
    }
}

}  // namespace
}  // namespace kvt
