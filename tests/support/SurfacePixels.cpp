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

DeviceContext textAlone(FontId font, int x, int y, std::string_view sjis, Colour ink, Colour ground) {
    DeviceContext surface;
    surface.fillSolidRect(0, 0, surface.width(), surface.height(), ground);
    surface.selectFont(font);
    surface.setTextColour(ink);
    surface.setBackgroundColour(ground);
    surface.textOut(x, y, sjis);
    return surface;
}

}  // namespace kvt::test
