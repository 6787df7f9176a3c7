#include "platform/DeviceContextImage.h"

#include <vector>

namespace kvt {

QImage imageView(const DeviceContext& surface) {
    return QImage(reinterpret_cast<const uchar*>(surface.bits()), surface.width(), surface.height(),
                  surface.width() * 4, QImage::Format_RGB32);
}

QImage imageCopy(const DeviceContext& surface) { return imageView(surface).copy(); }

QRegion regionOf(const ChangedAreas& changed) {
    std::vector<QRect> areas;
    for (const ChangedAreas::Rectangle& area : changed.rectangles()) {
        areas.emplace_back(area.left, area.top, area.right - area.left, area.bottom - area.top);
    }
    // Already in the order and bands a region keeps, so taken as they are.
    QRegion region;
    region.setRects(areas.data(), static_cast<int>(areas.size()));
    return region;
}

}  // namespace kvt
