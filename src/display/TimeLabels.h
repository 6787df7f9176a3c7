#pragma once
#include "display/GraphLayout.h"
#include "platform/DeviceContext.h"
#include "platform/SystemTime.h"

namespace kvt {

// Whether a sample of the current group gets a time label: only on a whole
// second, on the boundaries of the group's storing cycle, further apart in
// the horizontal layouts (fewer pixels along the time axis per minute).
// A slot without a time (month 0) never does.
bool isLabelTime(const SystemTime& time, int group, int storingCycle, bool horizontal);

// The same for the group shown in the graph direction of the live
// configuration, read once for a redraw's labels.
struct LabelTimes {
    int group;
    int storingCycle;
    bool horizontal;
    bool operator()(const SystemTime& time) const {
        return isLabelTime(time, group, storingCycle, horizontal);
    }
};
LabelTimes shownLabelTimes();

// "yy/mm/dd  hh:mm:ss": the date part is the first 10 characters (date and
// two blanks), the time part the 8 after them.
struct TimeLabelText {
    char text[48];
    std::string_view datePart() const;
    std::string_view timePart() const;
};
TimeLabelText timeLabelText(const SystemTime& time);

// Label texts in the small font, in the colour given on white.
// Perpendicular: date at (340, row + 1), time at (405, row + 1).
void drawRowLabel(DeviceContext& image, int row, const TimeLabelText& label, Colour colour);
// Horizontal, at row 261: date ending at the column, time 5 pixels right of
// it; `cutDate` shows only month and day right of the column - 30,
// `cutTime` only "hh:mm:".
void drawColumnLabel(DeviceContext& image, int column, const TimeLabelText& label, Colour colour,
                     bool cutDate, bool cutTime);

// Grid lines of a label or of the playback cursor.
void drawRowLine(DeviceContext& image, int row, Colour colour);
void drawColumnLine(DeviceContext& image, int column, Colour colour);

}  // namespace kvt
