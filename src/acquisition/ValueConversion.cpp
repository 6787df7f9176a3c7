#include "acquisition/ValueConversion.h"

#include "core/ConfigurationRecord.h"

namespace kvt {

double toEngineering(int group, int pen, double x) {
    if (group < 0 || group >= kGroupCount || pen < 0 || pen >= kPensPerGroup) return x;
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    double inputSpan = settings.inputHigh - settings.inputLow;
    // Percent of the input range first, then into the scale: the same
    // rounding as the values shown and recorded elsewhere.
    double percent = inputSpan != 0.0 ? (x - settings.inputLow) / inputSpan * 100.0 : 0.0;
    return settings.scaleLow + percent * (settings.scaleHigh - settings.scaleLow) * 0.01;
}

}  // namespace kvt
