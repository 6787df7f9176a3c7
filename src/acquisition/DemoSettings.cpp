#include "acquisition/DemoSettings.h"

#include <cmath>
#include <cstring>

#include "acquisition/DemoValues.h"
#include "core/Defaults.h"
#include "core/FieldText.h"
#include "core/NumberText.h"

namespace kvt {
namespace {

// A plot limit as the user would type it into the 8 characters of the
// pen dialog: plain when it fits, else with an exponent ("2.04E+09").
void setPlotLimit(double& value, char (&text)[9], double limit) {
    char typed[32];
    if (formatFixedNumber(typed, sizeof typed, limit, 1) < 0 || std::strlen(typed) >= sizeof text) {
        formatExponentNumber(typed, sizeof typed, limit, 2);
    }
    setTypedValue(value, text, typed);
}

// The whole percents of the input range around the demo values of every
// pen of a group.
DemoPercentSpan groupSpan() {
    return {std::floor(demoAnalogSpan(0).lowest),
            std::ceil(demoAnalogSpan(kPensPerGroup - 1).highest)};
}

void plotOverDemoSpan(PenSettings& pen) {
    DemoPercentSpan span = groupSpan();
    double scaleSpan = pen.scaleHigh - pen.scaleLow;
    setPlotLimit(pen.plotLow, pen.plotLowText, pen.scaleLow + span.lowest * 0.01 * scaleSpan);
    setPlotLimit(pen.plotHigh, pen.plotHighText, pen.scaleLow + span.highest * 0.01 * scaleSpan);
}

}  // namespace

void fillDemoSettings(ConfigurationRecord& record, int language, int lastGroup) {
    fillDefaults(record, language, yesterday());
    record.operatingMode = kDemoMode;
    for (int group = 1; group <= lastGroup && group <= kTrendGroupCount; ++group) {
        for (PenSettings& pen : record.pens[group]) {
            pen.enabled = 1;  // as the factory has them in group 1
            plotOverDemoSpan(pen);
        }
        record.group(group).storingCycle = kCycleHalfSecond;
        record.group(group).storingMode = kNormal;
    }
}

}  // namespace kvt
