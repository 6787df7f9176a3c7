#pragma once
#include <QImage>
#include <QRegion>

#include "platform/ChangedAreas.h"
#include "platform/DeviceContext.h"

namespace kvt {

// A 32-bit RGB image over the surface's own pixels, without copying; valid
// while the surface lives and is not resized. For painting the window.
QImage imageView(const DeviceContext& surface);

// A deep copy, for keeping or exporting a picture of the surface.
QImage imageCopy(const DeviceContext& surface);

// The changed rectangles as a region of the surface's coordinates.
QRegion regionOf(const ChangedAreas& changed);

}  // namespace kvt
