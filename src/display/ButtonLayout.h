#pragma once

namespace kvt {

// The drawn buttons of the top bar: row 0 holds the seven small buttons
// (right to left from "X"), row 1 the command buttons of the display mode.
enum ButtonRow : int { kSmallButtonRow = 0, kCommandButtonRow = 1 };

enum SmallButton : int {
    kButtonExit = 0,
    kButtonMinimise = 1,
    kButtonNextGroup = 2,
    kButtonPreviousGroup = 3,
    kButtonNextPen = 4,
    kButtonPreviousPen = 5,
    kButtonSaveImage = 6,
};
constexpr int kSmallButtonCount = 7;

enum CommandButton : int {
    kButtonSetting = 0,
    kButtonRetrieveOrRecord = 1,
    kButtonAlarmHistory = 2,
    kButtonDigitalOrRealValue = 3,
    kButtonStartOrCurrent = 4,
    kButtonDateTime = 5,
    kButtonDivide = 6,
};
constexpr int kLiveCommandButtons = 5;
constexpr int kPlaybackCommandButtons = 7;

// Corners of a button, both inclusive, in image coordinates.
struct ButtonBox {
    int left;
    int top;
    int right;
    int bottom;
};

ButtonBox buttonBox(int row, int index);

// The small button under image point (x, y), or -1.
int smallButtonAt(int x, int y);
// The command button under (x, y) among the first `count`, or -1.
int commandButtonAt(int x, int y, int count);
int commandButtonCount(int displayMode);

}  // namespace kvt
