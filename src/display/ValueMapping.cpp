#include "display/ValueMapping.h"

#include <cmath>

#include "core/ConfigurationRecord.h"
#include "display/GraphLayout.h"

namespace kvt {

// One value axis: `origin` is the pixel of 0 % (and of the lowest lane or
// decade), `span` the signed distance to 100 %, `marginRate` the signed
// pixels per percent of overshoot. Beyond the margins a value sits on
// `lowEdge` or `highEdge`; an empty plot range puts it on `emptyRange`.
struct ValueAxis {
    double origin;
    double span;
    double marginRate;
    int lowEdge;
    int highEdge;
    int emptyRange;
};

namespace {

constexpr double kMarginPercent = 15.0;  // overshoot drawn in the margins
constexpr int kDiscreteLanes = 13;

constexpr ValueAxis kAcross{30.0, 740.0, 2.0, 0, 800, 0};
constexpr ValueAxis kUpwards{460.0, -400.0, -4.0 / 3.0, 480, 40, 40};

double plotLow[kGroupCount][kPensPerGroup];
double plotHigh[kGroupCount][kPensPerGroup];

bool validPen(int group, int pen) {
    return group >= 0 && group < kGroupCount && pen >= 0 && pen < kPensPerGroup;
}

// Truncates a pixel position and keeps it on the axis (NaN goes to 0 %).
int onAxis(const ValueAxis& axis, double position) {
    double least = axis.lowEdge < axis.highEdge ? axis.lowEdge : axis.highEdge;
    double most = axis.lowEdge < axis.highEdge ? axis.highEdge : axis.lowEdge;
    if (std::isnan(position)) position = axis.origin;
    if (position < least) return static_cast<int>(least);
    if (position > most) return static_cast<int>(most);
    return static_cast<int>(position);
}

// Discrete pens keep to lane `pen` of 13: OFF a quarter, ON three quarters
// into it.
int discretePosition(const ValueAxis& axis, int pen, double quarter) {
    return onAxis(axis, axis.origin + (pen + quarter) * axis.span / kDiscreteLanes);
}

int linearPosition(const ValueAxis& axis, double percent, double low, double high) {
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
    return PenMapping(PenMapping::Direction::Across, engineering, group, pen)(value, status);
}

int mapValueY(int engineering, int group, int pen, double value, uint8_t status) {
    return PenMapping(PenMapping::Direction::Upwards, engineering, group, pen)(value, status);
}

// Live values (`engineering` 0) are in input units: a linear one is a
// percentage of the input range, a logarithmic one is converted to the
// scale first. Playback values are engineering units.
PenMapping::PenMapping(Direction direction, int engineering, int group, int pen)
    : axis_(direction == Direction::Across ? &kAcross : &kUpwards) {
    const ValueAxis& axis = *axis_;
    if (!validPen(group, pen)) {
        fixed_ = onAxis(axis, axis.origin);
        return;
    }
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    bool live = engineering == 0;
    if (settings.isDiscrete != 0) {
        kind_ = Kind::Discrete;
        off_ = discretePosition(axis, pen, 0.25);
        on_ = discretePosition(axis, pen, 0.75);
    } else if (settings.logScale != 0) {
        kind_ = Kind::Logarithmic;
        fromInput_ = live;
        inputLow_ = settings.inputLow;
        inputSpan_ = settings.inputHigh - settings.inputLow;
        scaleLow_ = settings.scaleLow;
        scaleSpan_ = settings.scaleHigh - settings.scaleLow;
        lowestExponent_ = lowExponentOf(settings);
        decades_ = logDecadesOf(settings);
    } else {
        kind_ = Kind::Linear;
        powerFactor_ = live && isPowerFactorPen(settings);
        low_ = live ? settings.inputLow : settings.scaleLow;
        high_ = live ? settings.inputHigh : settings.scaleHigh;
        plotLow_ = plotLow[group][pen];
        plotHigh_ = plotHigh[group][pen];
    }
}

int PenMapping::operator()(double value, uint8_t status) const {
    switch (kind_) {
    case Kind::Discrete:
        return value == 1.0 ? on_ : off_;
    case Kind::Logarithmic:
        return logarithmic(value);
    case Kind::Linear:
        return linear(value, status);
    default:
        return fixed_;
    }
}

int PenMapping::logarithmic(double value) const {
    double engineering = value;
    if (fromInput_) {
        double fraction = inputSpan_ == 0.0 ? 0.0 : (value - inputLow_) / inputSpan_;
        engineering = scaleLow_ + fraction * scaleSpan_;
    }
    const ValueAxis& axis = *axis_;
    double exponent = engineering >= 0.0 ? std::log10(engineering) : lowestExponent_ - 1.0;
    if (std::isnan(exponent) || exponent < lowestExponent_) return onAxis(axis, axis.origin);
    if (exponent > lowestExponent_ + decades_) return onAxis(axis, axis.origin + axis.span);
    return onAxis(axis, axis.origin + (exponent - lowestExponent_) * axis.span / decades_);
}

// A live power-factor value runs -1 through 1 back to -1 across the range;
// the status byte tells the two halves apart.
int PenMapping::linear(double value, uint8_t status) const {
    double percent;
    if (powerFactor_) {
        percent = (value + 1.0) * 25.0;
        if (status == 0) percent = 100.0 - percent;
    } else {
        percent = high_ == low_ ? 0.0 : (value - low_) * 100.0 / (high_ - low_);
    }
    return linearPosition(*axis_, percent, plotLow_, plotHigh_);
}

}  // namespace kvt
