#pragma once
#include <QImage>

namespace kvt::test {

// Pixels of a screen grab, colours as 0xRRGGBB.

unsigned colourAt(const QImage& screen, int x, int y);

// Pixels of `colour` in the rectangle left..right-1 x top..bottom-1 (the
// part inside the grab).
int pixelsOf(const QImage& screen, unsigned colour, int left, int top, int right, int bottom);

}  // namespace kvt::test
