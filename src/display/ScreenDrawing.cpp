#include "display/ScreenDrawing.h"

#include "core/ConfigurationRecord.h"
#include "display/DisplayColours.h"
#include "display/GraphArea.h"

namespace kvt {

void drawDemoWatermark(DeviceContext& image) {
    image.setTextColour(kLightGrey);
    image.setBackgroundColour(kWhite);
    image.setBackgroundMode(BackgroundMode::Opaque);
    for (int x = 63; x < 803; x += 148) image.textOut(x, 240, "DEMO");
}

void drawScreenImage(DeviceContext& image, const TopBarState& state) {
    FontId previousFont = image.selectFont(FontId::Large);
    image.fillSolidRect(0, 0, DeviceContext::kScreenWidth, DeviceContext::kScreenHeight, kWhite);
    if (state.operatingMode == kDemoMode) drawDemoWatermark(image);
    drawGraphArea(image);
    drawTopBar(image, state);
    image.selectFont(previousFont);
}

}  // namespace kvt
