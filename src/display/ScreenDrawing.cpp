#include "display/ScreenDrawing.h"

#include "core/ConfigurationRecord.h"
#include "display/DisplayColours.h"
#include "display/GraphArea.h"
#include "platform/GlyphCache.h"

namespace kvt {
namespace {

constexpr int kWatermarkTop = 240;

void selectWatermarkText(DeviceContext& image) {
    image.setTextColour(kLightGrey);
    image.setBackgroundColour(kWhite);
    image.setBackgroundMode(BackgroundMode::Opaque);
}

// The watermark's rows as the white ground with the watermark leaves them,
// drawn once and again only when the glyphs it was drawn with may differ.
const DeviceContext& watermarkBand() {
    static DeviceContext band(DeviceContext::kScreenWidth, fontCell(FontId::Large).pixelHeight);
    static bool drawn = false;
    static unsigned drawnWith = 0;
    if (!drawn || drawnWith != glyphCacheGeneration()) {
        band.fillSolidRect(0, 0, band.width(), band.height(), kWhite);
        band.selectFont(FontId::Large);
        band.setOrigin(0, -kWatermarkTop);
        drawDemoWatermark(band);
        band.setOrigin(0, 0);
        drawn = true;
        drawnWith = glyphCacheGeneration();
    }
    return band;
}

}  // namespace

void drawScreenGround(DeviceContext& image, bool demo) {
    constexpr int width = DeviceContext::kScreenWidth;
    constexpr int height = DeviceContext::kScreenHeight;
    if (!demo) {
        image.fillSolidRect(0, 0, width, height, kWhite);
        return;
    }
    const DeviceContext& band = watermarkBand();
    int below = kWatermarkTop + band.height();
    image.fillSolidRect(0, 0, width, kWatermarkTop, kWhite);
    image.copyFrom(band, 0, kWatermarkTop);
    image.fillSolidRect(0, below, width, height - below, kWhite);
    selectWatermarkText(image);
}

void drawDemoWatermark(DeviceContext& image) {
    selectWatermarkText(image);
    for (int x = 63; x < 803; x += 148) image.textOut(x, kWatermarkTop, "DEMO");
}

void drawScreenImage(DeviceContext& image, const TopBarState& state) {
    FontId previousFont = image.selectFont(FontId::Large);
    drawScreenGround(image, state.operatingMode == kDemoMode);
    drawGraphArea(image);
    drawTopBar(image, state);
    image.selectFont(previousFont);
}

}  // namespace kvt
