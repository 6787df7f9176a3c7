#include "display/TracePath.h"

namespace kvt {

void TracePath::add(int x, int y) {
    if (!started_) {
        image_.moveTo(x, y);
        started_ = true;
    } else if (steps_ == Steps::AtNewRow && x != lastX_) {
        image_.lineTo(lastX_, y);
        image_.lineTo(x, y);
    } else if (steps_ == Steps::AtPreviousColumn && y != lastY_) {
        image_.lineTo(lastX_, y);
        image_.lineTo(x, y);
    } else {
        image_.lineTo(x, y);
    }
    lastX_ = x;
    lastY_ = y;
}

}  // namespace kvt
