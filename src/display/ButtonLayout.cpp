#include "display/ButtonLayout.h"

#include "display/DisplayState.h"

namespace kvt {

ButtonBox buttonBox(int row, int index) {
    if (row == kSmallButtonRow) return {780 - 20 * index, 0, 799 - 20 * index, 19};
    return {720 - 80 * index, 20, 799 - 80 * index, 39};
}

int smallButtonAt(int x, int y) {
    if (y < 0 || y > 19) return -1;
    for (int index = 0; index < kSmallButtonCount; ++index) {
        if (x >= 780 - 20 * index && x < 800 - 20 * index) return index;
    }
    return -1;
}

int commandButtonAt(int x, int y, int count) {
    if (y < 20 || y > 39) return -1;
    for (int index = 0; index < count; ++index) {
        if (x >= 720 - 80 * index && x < 800 - 80 * index) return index;
    }
    return -1;
}

int commandButtonCount(int mode) {
    return isPlaybackMode(mode) ? kPlaybackCommandButtons : kLiveCommandButtons;
}

}  // namespace kvt
