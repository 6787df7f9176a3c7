#include "support/SurfacePixels.h"

namespace kvt::test {

int countPixels(const DeviceContext& dc, Colour colour, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) count += dc.pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

bool sameRegion(const DeviceContext& a, const DeviceContext& b, int left, int top, int right,
                int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
        }
    }
    return true;
}

}  // namespace kvt::test
