#include "display/ScreenDrawing.h"

#include <algorithm>

#include "core/ConfigurationRecord.h"
#include "display/CachedTopBar.h"
#include "display/DisplayColours.h"
#include "display/GraphArea.h"
#include "display/TrendGraph.h"
#include "platform/GlyphCache.h"

namespace kvt {
namespace {

constexpr int kWatermarkTop = 240;
constexpr int kLiveBarsBottom = 120;

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

// The graph area and the top bar, over the ground.
void drawOverGround(DeviceContext& image, const TopBarState& state) {
    FontId previousFont = image.selectFont(FontId::Large);
    drawGraphArea(image);
    drawCachedTopBar(image, state);
    image.selectFont(previousFont);
}

// Rows of a redraw that keeps rows, as drawScreenImage draws them. Only
// the perpendicular live graph keeps rows, and its bars (the top bar, the
// pen markers' band and the scale band) paint every pixel above
// kLiveBarsBottom, so the ground goes under the rows below only.
void drawFreshRows(DeviceContext& image, const TopBarState& state, ScreenRows rows) {
    image.setRowClip(std::max(rows.top, kLiveBarsBottom), rows.bottom);
    drawScreenGround(image, state.operatingMode == kDemoMode);
    image.setRowClip(rows.top, rows.bottom);
    drawOverGround(image, state);
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
    drawScreenGround(image, state.operatingMode == kDemoMode);
    drawOverGround(image, state);
}

ScreenRedraw planScreenRedraw(bool demo) {
    ScreenRedraw plan{-1, {0, 0}, 0, {}};
    KeptGraphRows kept = keptLiveGraphRows();
    if (kept.moved < 0) return plan;
    plan.moved = kept.moved;
    plan.kept = {kept.top, kept.bottom};
    plan.fresh[plan.freshCount++] = {0, kept.top};
    if (demo) {
        // Its rows, and those the moved rows brought its pixels to.
        int top = std::max(kWatermarkTop, kept.top);
        int bottom = std::min(kWatermarkTop + fontCell(FontId::Large).pixelHeight + kept.moved, kept.bottom);
        if (top < bottom) plan.fresh[plan.freshCount++] = {top, bottom};
    }
    if (kept.bottom < DeviceContext::kScreenHeight) plan.fresh[plan.freshCount++] = {kept.bottom, DeviceContext::kScreenHeight};
    return plan;
}

void redrawScreenImage(DeviceContext& image, const TopBarState& state, const ScreenRedraw& plan) {
    if (plan.moved < 0) {
        drawScreenImage(image, state);
        return;
    }
    image.moveAllRowsDown(plan.moved);  // every row outside the kept ones is drawn afresh below
    for (int index = 0; index < plan.freshCount; ++index) drawFreshRows(image, state, plan.fresh[index]);
    image.clearRowClip();
}

}  // namespace kvt
