#pragma once
#include <cmath>

#include "core/ConfigurationRecord.h"
#include "platform/DeviceContext.h"

namespace kvt {

// A sample value the traces leave out: no data recorded, or not a number.
inline bool isMissingValue(double value) { return value == kNoData || std::isnan(value); }

// Joins the points of one pen's trace with the pen selected in the image.
// The first point (and the first after a break) only moves there. A
// discrete pen changes value in a step: in the perpendicular layout at the
// new sample's row, in the horizontal layouts at the previous sample's
// column.
class TracePath {
public:
    enum class Steps { None, AtNewRow, AtPreviousColumn };

    TracePath(DeviceContext& image, Steps steps) : image_(image), steps_(steps) {}

    void add(int x, int y);
    // The next point starts a new line.
    void breakLine() { started_ = false; }

private:
    DeviceContext& image_;
    Steps steps_;
    bool started_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
};

}  // namespace kvt
