#pragma once
#include <string_view>

#include "platform/DeviceContext.h"

namespace kvt::test {

// Pixels of `colour` in the rectangle left..right-1 x top..bottom-1.
int countPixels(const DeviceContext& dc, Colour colour, int left, int top, int right, int bottom);

// Whether two surfaces hold the same pixels in that rectangle.
bool sameRegion(const DeviceContext& a, const DeviceContext& b, int left, int top, int right,
                int bottom);

// A surface of `ground` with only `sjis` on it, drawn in `font` and `ink`:
// what a text drawn by the screen code should look like.
DeviceContext textAlone(FontId font, int x, int y, std::string_view sjis, Colour ink, Colour ground);

}  // namespace kvt::test
