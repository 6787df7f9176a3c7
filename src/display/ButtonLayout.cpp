#include "display/ButtonLayout.h"

#include "display/DisplayState.h"

namespace kvt {

ButtonBox buttonBox(int row, int index) {
    if (row == kSmallButtonRow) return {780 - 20 * index, 0, 799 - 20 * index, 19};
    return {720 - 80 * index, 20, 799 - 80 * index, 39};
}

namespace {

// The first of `count` buttons of a row whose box holds (x, y), or -1.
int buttonAt(int row, int count, int x, int y) {
    for (int index = 0; index < count; ++index) {
        ButtonBox box = buttonBox(row, index);
        if (x >= box.left && x <= box.right && y >= box.top && y <= box.bottom) return index;
    }
    return -1;
}

}  // namespace

int smallButtonAt(int x, int y) { return buttonAt(kSmallButtonRow, kSmallButtonCount, x, y); }

int commandButtonAt(int x, int y, int count) { return buttonAt(kCommandButtonRow, count, x, y); }

int commandButtonCount(int mode) {
    return isPlaybackMode(mode) ? kPlaybackCommandButtons : kLiveCommandButtons;
}

}  // namespace kvt
