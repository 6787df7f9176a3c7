#include "acquisition/ValueConversion.h"

#include "core/ThreadConfiguration.h"

namespace kvt {

double scaleToEngineering(const PenSettings& pen, double inputValue) {
    double inputSpan = pen.inputHigh - pen.inputLow;
    double percent = inputSpan != 0.0 ? (inputValue - pen.inputLow) / inputSpan * 100.0 : 0.0;
    return pen.scaleLow + percent * (pen.scaleHigh - pen.scaleLow) * 0.01;
}

double toEngineering(int group, int pen, double x) {
    if (group < 0 || group >= kGroupCount || pen < 0 || pen >= kPensPerGroup) return x;
    return scaleToEngineering(threadConfiguration().pen(group, pen), x);
}

}  // namespace kvt
