#include "display/ProgramIcon.h"

#include <QPixmap>
#include <cmath>

#include "display/ProgramIconShape.h"
#include "platform/DeviceContextImage.h"

namespace kvt {
namespace {

constexpr int kLargestExactSize = 32;
constexpr int kSupersampling = 4;

// A coordinate or width on the grid, at `size` pixels.
int scaled(int gridValue, int size) {
    return static_cast<int>(std::lround(static_cast<double>(gridValue) * size / icon::kGrid));
}

// Pen widths round up, so that thin lines do not fall apart at small sizes.
int scaledWidth(int gridWidth, int size) {
    return static_cast<int>(std::ceil(static_cast<double>(gridWidth) * size / icon::kGrid));
}

QImage drawFace(int size) {
    DeviceContext face(size, size);
    face.fillSolidRect(0, 0, size, size, icon::kBackground);
    face.selectPen(icon::kFrame, scaledWidth(icon::kFrameWidth, size));
    face.selectBrush(icon::kChart);
    int margin = scaled(icon::kChartMargin, size);
    face.rectangle(margin, margin, size - margin, size - margin);
    face.selectPen(icon::kTrace, scaledWidth(icon::kTraceWidth, size));
    const Point& start = icon::kTracePoints[0];
    face.moveTo(scaled(start.x, size), scaled(start.y, size));
    for (const Point& point : icon::kTracePoints) {
        face.lineTo(scaled(point.x, size), scaled(point.y, size));
    }
    return imageCopy(face);
}

}  // namespace

QImage programIconImage(int size) {
    if (size <= kLargestExactSize) return drawFace(size);
    return drawFace(size * kSupersampling)
        .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    }
    return icon;
}

}  // namespace kvt
