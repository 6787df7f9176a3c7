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

}  // namespace kvt
