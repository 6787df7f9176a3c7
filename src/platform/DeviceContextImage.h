#pragma once
#include <QImage>

#include "platform/DeviceContext.h"

namespace kvt {

// A 32-bit RGB image over the surface's own pixels, without copying; valid
// while the surface lives and is not resized. For painting the window.
QImage imageView(const DeviceContext& surface);

// A deep copy, for keeping or exporting a picture of the surface.
QImage imageCopy(const DeviceContext& surface);

}  // namespace kvt
