#pragma once
#include <cstdint>

namespace kvt {

// Plot range of a pen in percent of its engineering scale, computed from
// the live configuration before the pen is drawn and read by the mapping
// below: lo% = (plotLow - scaleLow) / (scaleHigh - scaleLow) * 100, hi%
// likewise; 0 and 100 when the scale range is empty.
void updatePlotRange(int group, int pen);
double plotRangeLowPercent(int group, int pen);
double plotRangeHighPercent(int group, int pen);

// Where a value of pen `pen` of `group` lies on the screen: the column in
// the perpendicular layout (values across columns 30-770 with 30-pixel
// margins), the row in the horizontal layouts (rows 460 up to 60 with
// 20-pixel margins). `engineering` is 0 for live values (input units) and
// 1 for playback values (engineering units); `status` is the sample's
// status byte (power-factor pens). The result always lies in the image:
// columns 0-800, rows 40-480.
int mapValueX(int engineering, int group, int pen, double value, uint8_t status);
int mapValueY(int engineering, int group, int pen, double value, uint8_t status);

struct ValueAxis;

// The same mapping for one pen with all that is fixed during a redraw read
// once (the pen's settings and the plot range updatePlotRange left), so a
// trace maps each of its samples without looking them up again.
class PenMapping {
public:
    enum class Direction { Across, Upwards };  // mapValueX, mapValueY
    PenMapping(Direction direction, int engineering, int group, int pen);
    int operator()(double value, uint8_t status) const;

private:
    enum class Kind { Fixed, Discrete, Logarithmic, Linear };
    int logarithmic(double value) const;
    int linear(double value, uint8_t status) const;

    const ValueAxis* axis_;
    Kind kind_ = Kind::Fixed;
    int fixed_ = 0;          // Fixed: the position of every value
    int off_ = 0, on_ = 0;   // Discrete: the positions of OFF and ON
    bool fromInput_ = false;  // live: values in input units
    bool powerFactor_ = false;
    double inputLow_ = 0.0, inputSpan_ = 0.0, scaleLow_ = 0.0, scaleSpan_ = 0.0;
    double lowestExponent_ = 0.0, decades_ = 0.0;
    double low_ = 0.0, high_ = 0.0;  // the range a value is a percentage of
    double plotLow_ = 0.0, plotHigh_ = 0.0;
};

}  // namespace kvt
