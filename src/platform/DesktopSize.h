#pragma once

namespace kvt {

// Width of the desktop in pixels: the primary screen's, or 800 when there
// is no screen. A width set with overrideDesktopWidth (tests) wins.
int desktopWidth();

// 0 removes the override.
void overrideDesktopWidth(int pixels);

}  // namespace kvt
