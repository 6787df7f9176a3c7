#include "display/ProgramIcon.h"

#include "display/DisplayColours.h"
#include "platform/DeviceContext.h"
#include "platform/DeviceContextImage.h"

namespace kvt {

QIcon programIcon() {
    constexpr int kSize = 32;
    DeviceContext face(kSize, kSize);
    face.fillSolidRect(0, 0, kSize, kSize, kBarGrey);
    face.selectPen(kBlack);
    face.selectBrush(kWhite);
    face.rectangle(3, 3, kSize - 3, kSize - 3);
    face.selectPen(rgb(0, 0, 255), 2);
    static const Point trace[] = {{6, 22}, {11, 14}, {15, 18}, {20, 8}, {25, 12}, {27, 10}};
    face.moveTo(trace[0].x, trace[0].y);
    for (const Point& point : trace) face.lineTo(point.x, point.y);
    return QIcon(QPixmap::fromImage(imageCopy(face)));
}

}  // namespace kvt
