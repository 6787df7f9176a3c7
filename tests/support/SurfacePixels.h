#pragma once
#include "platform/DeviceContext.h"

namespace kvt::test {

// Pixels of `colour` in the rectangle left..right-1 x top..bottom-1.
int countPixels(const DeviceContext& dc, Colour colour, int left, int top, int right, int bottom);

// Whether two surfaces hold the same pixels in that rectangle.
bool sameRegion(const DeviceContext& a, const DeviceContext& b, int left, int top, int right,
                int bottom);

}  // namespace kvt::test
