#include "display/ProgramIcon.h"

#include <QPixmap>
#include <cmath>

#include "display/DisplayColours.h"
#include "platform/DeviceContext.h"
#include "platform/DeviceContextImage.h"

namespace kvt {
namespace {

// The face is laid out on a 32-pixel grid.
constexpr int kGrid = 32;
constexpr int kLargestExactSize = 32;
constexpr int kSupersampling = 4;

// A coordinate or width on the grid, at `size` pixels.
int scaled(int gridValue, int size) {
    return static_cast<int>(std::lround(static_cast<double>(gridValue) * size / kGrid));
}

// Pen widths round up, so that thin lines do not fall apart at small sizes.
int scaledWidth(int gridWidth, int size) {
    return static_cast<int>(std::ceil(static_cast<double>(gridWidth) * size / kGrid));
}

QImage drawFace(int size) {
    DeviceContext face(size, size);
    face.fillSolidRect(0, 0, size, size, kBarGrey);
    face.selectPen(kBlack, scaledWidth(1, size));
    face.selectBrush(kWhite);
    int margin = scaled(3, size);
    face.rectangle(margin, margin, size - margin, size - margin);
    face.selectPen(rgb(0, 0, 255), scaledWidth(2, size));
    static const Point trace[] = {{6, 22}, {11, 14}, {15, 18}, {20, 8}, {25, 12}, {27, 10}};
    face.moveTo(scaled(trace[0].x, size), scaled(trace[0].y, size));
    for (const Point& point : trace) face.lineTo(scaled(point.x, size), scaled(point.y, size));
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
