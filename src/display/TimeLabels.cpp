#include "display/TimeLabels.h"

#include <cstdio>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "display/DisplayColours.h"

namespace kvt {
namespace {

constexpr int kDateLength = 10;
constexpr int kTimeLength = 8;
constexpr int kHorizontalLabelRow = 261;

// Minute and hour steps of the labels of one storing cycle; a minute step
// of 0 labels every `secondStep` seconds instead.
struct LabelSpacing {
    int secondStep;
    int minuteStep;
    int hourStep;
};

// Per storing cycle 0.5 s, 1 s, 2 s, 5 s, 10 s, 1 min.
constexpr LabelSpacing kPerpendicular[] = {
    {30, 0, 0}, {60, 1, 0}, {60, 2, 0}, {60, 5, 0}, {60, 10, 0}, {60, 60, 1}};
constexpr LabelSpacing kHorizontal[] = {
    {60, 2, 0}, {60, 4, 0}, {60, 10, 0}, {60, 20, 0}, {60, 30, 0}, {60, 60, 2}};
constexpr LabelSpacing kHighSpeedPerpendicular{5, 0, 0};
constexpr LabelSpacing kHighSpeedHorizontal{10, 0, 0};

bool onBoundary(const SystemTime& time, const LabelSpacing& spacing) {
    if (time.second % spacing.secondStep != 0) return false;
    if (spacing.minuteStep == 0) return true;
    if (time.minute % spacing.minuteStep != 0) return false;
    return spacing.hourStep == 0 || time.hour % spacing.hourStep == 0;
}

}  // namespace

bool isLabelTime(const SystemTime& time, int group, int storingCycle, bool horizontal) {
    if (time.milliseconds != 0 || time.month == 0) return false;
    if (group == 0) return onBoundary(time, horizontal ? kHighSpeedHorizontal : kHighSpeedPerpendicular);
    int cycle = storingCycle >= 0 && storingCycle <= kCycle1min ? storingCycle : 0;
    return onBoundary(time, horizontal ? kHorizontal[cycle] : kPerpendicular[cycle]);
}

LabelTimes shownLabelTimes() {
    int group = shownGroup();
    return {group, storingCycleOf(liveConfiguration, group),
            isHorizontal(graphLayout(liveConfiguration))};
}

std::string_view TimeLabelText::datePart() const {
    return std::string_view(text, kDateLength);
}

std::string_view TimeLabelText::timePart() const {
    return std::string_view(text + kDateLength, kTimeLength);
}

TimeLabelText timeLabelText(const SystemTime& time) {
    TimeLabelText label{};
    int year = (static_cast<int>(time.year) - 1900) % 100;
    std::snprintf(label.text, sizeof label.text, "%02d/%02d/%02d  %02d:%02d:%02d", year,
                  static_cast<int>(time.month), static_cast<int>(time.day),
                  static_cast<int>(time.hour), static_cast<int>(time.minute),
                  static_cast<int>(time.second));
    return label;
}

void drawRowLabel(DeviceContext& image, int row, const TimeLabelText& label, Colour colour) {
    image.selectFont(FontId::Small);
    image.setTextColour(colour);
    image.setBackgroundColour(kWhite);
    image.textOut(340, row + 1, label.datePart());
    image.textOut(405, row + 1, label.timePart());
}

void drawColumnLabel(DeviceContext& image, int column, const TimeLabelText& label, Colour colour,
                     bool cutDate, bool cutTime) {
    image.selectFont(FontId::Small);
    image.setTextColour(colour);
    image.setBackgroundColour(kWhite);
    // The cut date drops the year: "mm/dd ".
    if (cutDate) {
        image.textOut(column - 30, kHorizontalLabelRow, label.datePart().substr(3, 6));
    } else {
        image.textOut(column - 60, kHorizontalLabelRow, label.datePart());
    }
    image.textOut(column + 5, kHorizontalLabelRow,
                  cutTime ? label.timePart().substr(0, 6) : label.timePart());
}

void drawRowLine(DeviceContext& image, int row, Colour colour) {
    image.selectPen(colour);
    image.moveTo(0, row);
    image.lineTo(800, row);
}

void drawColumnLine(DeviceContext& image, int column, Colour colour) {
    image.selectPen(colour);
    image.moveTo(column, 40);
    image.lineTo(column, 480);
}

}  // namespace kvt
