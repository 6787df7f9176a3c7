#include "display/CachedTopBar.h"

#include "platform/GlyphCache.h"

namespace kvt {
namespace {

constexpr int kKeptBars = 2;  // the lamps lit and unlit
constexpr int kBarRows = 40;

struct KeptBar {
    DeviceContext rows{DeviceContext::kScreenWidth, kBarRows};
    TopBarState state{};
    unsigned glyphs = 0;
    bool drawn = false;
};

// The kept bar of `state`; when there is none, the one used less lately
// is drawn again for it.
const DeviceContext& keptBarFor(const TopBarState& state) {
    static KeptBar bars[kKeptBars];
    static int lastUsed = 0;
    unsigned glyphs = glyphCacheGeneration();
    for (int index = 0; index < kKeptBars; ++index) {
        const KeptBar& bar = bars[index];
        if (bar.drawn && bar.glyphs == glyphs && bar.state == state) {
            lastUsed = index;
            return bar.rows;
        }
    }
    lastUsed = (lastUsed + 1) % kKeptBars;
    KeptBar& bar = bars[lastUsed];
    drawTopBar(bar.rows, state);
    bar.state = state;
    bar.glyphs = glyphs;
    bar.drawn = true;
    return bar.rows;
}

}  // namespace

void drawCachedTopBar(DeviceContext& image, const TopBarState& state) {
    const DeviceContext& bar = keptBarFor(state);
    image.copyFrom(bar, 0, 0);
    image.takeTextStateOf(bar);
}

}  // namespace kvt
