#include "platform/DeviceContextImage.h"

namespace kvt {

QImage imageView(const DeviceContext& surface) {
    return QImage(reinterpret_cast<const uchar*>(surface.bits()), surface.width(), surface.height(),
                  surface.width() * 4, QImage::Format_RGB32);
}

QImage imageCopy(const DeviceContext& surface) { return imageView(surface).copy(); }

}  // namespace kvt
