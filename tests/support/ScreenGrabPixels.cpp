#include "support/ScreenGrabPixels.h"

namespace kvt::test {

unsigned colourAt(const QImage& screen, int x, int y) { return screen.pixel(x, y) & 0xFFFFFFu; }

int pixelsOf(const QImage& screen, unsigned colour, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom && y < screen.height(); ++y) {
        for (int x = left; x < right && x < screen.width(); ++x) {
            count += colourAt(screen, x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

}  // namespace kvt::test
