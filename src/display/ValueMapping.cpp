#include "display/ValueMapping.h"

#include <cmath>

#include "core/ConfigurationRecord.h"
#include "display/GraphLayout.h"

namespace kvt {
namespace {

constexpr double kMarginPercent = 15.0;  // overshoot drawn in the margins
constexpr int kDiscreteLanes = 13;

// One value axis: `origin` is the pixel of 0 % (and of the lowest lane or
// decade), `span` the signed distance to 100 %, `marginRate` the signed
// pixels per percent of overshoot. Beyond the margins a value sits on
// `lowEdge` or `highEdge`; an empty plot range puts it on `emptyRange`.
struct Axis {
    double origin;
    double span;
    double marginRate;
    int lowEdge;
    int highEdge;
    int emptyRange;
};

constexpr Axis kAcross{30.0, 740.0, 2.0, 0, 800, 0};
constexpr Axis kUpwards{460.0, -400.0, -4.0 / 3.0, 480, 40, 40};

double plotLow[kGroupCount][kPensPerGroup];
double plotHigh[kGroupCount][kPensPerGroup];

bool validPen(int group, int pen) {
    return group >= 0 && group < kGroupCount && pen >= 0 && pen < kPensPerGroup;
}

// Truncates a pixel position and keeps it on the axis (NaN goes to 0 %).
int onAxis(const Axis& axis, double position) {
    double least = axis.lowEdge < axis.highEdge ? axis.lowEdge : axis.highEdge;
    double most = axis.lowEdge < axis.highEdge ? axis.highEdge : axis.lowEdge;
    if (std::isnan(position)) position = axis.origin;
    if (position < least) return static_cast<int>(least);
    if (position > most) return static_cast<int>(most);
    return static_cast<int>(position);
}

int discretePosition(const Axis& axis, int pen, double value) {
    double quarter = value == 1.0 ? 0.75 : 0.25;
    return onAxis(axis, axis.origin + (pen + quarter) * axis.span / kDiscreteLanes);
}

double inputToEngineering(const PenSettings& settings, double value) {
    double inputSpan = settings.inputHigh - settings.inputLow;
    double fraction = inputSpan == 0.0 ? 0.0 : (value - settings.inputLow) / inputSpan;
    return settings.scaleLow + fraction * (settings.scaleHigh - settings.scaleLow);
}

int logarithmicPosition(const Axis& axis, const PenSettings& settings, double engineering) {
    double lowest = lowExponentOf(settings);
    double decades = logDecadesOf(settings);
    double exponent = engineering >= 0.0 ? std::log10(engineering) : lowest - 1.0;
    if (std::isnan(exponent) || exponent < lowest) return onAxis(axis, axis.origin);
    if (exponent > lowest + decades) return onAxis(axis, axis.origin + axis.span);
    return onAxis(axis, axis.origin + (exponent - lowest) * axis.span / decades);
}

// The value in percent of the scale (playback) or input range (live).
double percentOf(int engineering, const PenSettings& settings, double value, uint8_t status) {
    if (engineering == 0 && isPowerFactorPen(settings)) {
        double percent = (value + 1.0) * 25.0;
        return status == 0 ? 100.0 - percent : percent;
    }
    double low = engineering == 0 ? settings.inputLow : settings.scaleLow;
    double high = engineering == 0 ? settings.inputHigh : settings.scaleHigh;
    return high == low ? 0.0 : (value - low) * 100.0 / (high - low);
}

int linearPosition(const Axis& axis, double percent, double low, double high) {
    if (high == low) return axis.emptyRange;
    double range = high - low;
    if (percent < low) {
        double overshoot = (low - percent) * 100.0 / range;
        if (overshoot < kMarginPercent) return onAxis(axis, axis.origin - axis.marginRate * overshoot);
        return axis.lowEdge;
    }
    if (percent <= high) return onAxis(axis, axis.origin + (percent - low) * axis.span / range);
    if (percent > high) {
        double overshoot = (percent - low) * 100.0 / range - 100.0;
        double end = axis.origin + axis.span;
        if (overshoot < kMarginPercent) return onAxis(axis, end + axis.marginRate * overshoot);
        return axis.highEdge;
    }
    return onAxis(axis, axis.origin);  // NaN
}

int mapValue(const Axis& axis, int engineering, int group, int pen, double value,
             uint8_t status) {
    if (!validPen(group, pen)) return onAxis(axis, axis.origin);
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    if (settings.isDiscrete != 0) return discretePosition(axis, pen, value);
    if (settings.logScale != 0) {
        double shown = engineering == 0 ? inputToEngineering(settings, value) : value;
        return logarithmicPosition(axis, settings, shown);
    }
    return linearPosition(axis, percentOf(engineering, settings, value, status),
                          plotLow[group][pen], plotHigh[group][pen]);
}

}  // namespace

void updatePlotRange(int group, int pen) {
    if (!validPen(group, pen)) return;
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    double scaleSpan = settings.scaleHigh - settings.scaleLow;
    if (scaleSpan == 0.0) {
        plotLow[group][pen] = 0.0;
        plotHigh[group][pen] = 100.0;
        return;
    }
    plotLow[group][pen] = (settings.plotLow - settings.scaleLow) * 100.0 / scaleSpan;
    plotHigh[group][pen] = (settings.plotHigh - settings.scaleLow) * 100.0 / scaleSpan;
}

double plotRangeLowPercent(int group, int pen) {
    return validPen(group, pen) ? plotLow[group][pen] : 0.0;
}

double plotRangeHighPercent(int group, int pen) {
    return validPen(group, pen) ? plotHigh[group][pen] : 100.0;
}

int mapValueX(int engineering, int group, int pen, double value, uint8_t status) {
    return mapValue(kAcross, engineering, group, pen, value, status);
}

int mapValueY(int engineering, int group, int pen, double value, uint8_t status) {
    return mapValue(kUpwards, engineering, group, pen, value, status);
}

}  // namespace kvt
