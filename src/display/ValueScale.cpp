#include "display/ValueScale.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/ConfigurationRecord.h"
#include "display/DisplayColours.h"
#include "display/GraphLayout.h"
#include "platform/GlyphCache.h"
#include "recording/FixedPointText.h"

namespace kvt {
namespace {

constexpr int kDivisions = 10;
constexpr int kLiveBandTop = 80;
constexpr int kPlaybackBandTop = 40;
// Positions of 0, 10, ..., 100 % on the square-root scale.
constexpr int kSquareRootAcross[kDivisions + 1] = {0, 234, 331, 406, 468, 523, 574, 619, 662, 702, 740};
constexpr int kSquareRootUp[kDivisions + 1] = {0, 126, 179, 219, 253, 283, 310, 335, 358, 380, 400};
constexpr int kMinorOffsets[4] = {15, 30, 44, 59};
constexpr int kMinorTops[3] = {120, 80, 340};
constexpr int kStripCharacters = 5;  // strip labels are right-aligned in 5 characters
constexpr int kStripDrawnLimit = 16;

const PenSettings& scalePenSettings(int group, int pen) {
    return liveConfiguration.pen(group, pen - 1);
}

// Any 'e' or 'E' in the first 8 characters of the typed plot high asks for
// exponent labels.
bool typedInExponentForm(const PenSettings& settings) {
    for (int index = 0; index < 8 && settings.plotHighText[index] != '\0'; ++index) {
        if (settings.plotHighText[index] == 'e' || settings.plotHighText[index] == 'E') return true;
    }
    return false;
}

// "%.0e" without the exponent's plus sign and leading zeros: 5e-4, 2e3.
void formatExponentLabel(char (&text)[48], double value) {
    char printed[48];
    std::snprintf(printed, sizeof printed, "%.0e", value);
    const char* mark = std::strchr(printed, 'e');
    if (mark == nullptr) {  // inf, nan
        std::snprintf(text, sizeof text, "%s", printed);
        return;
    }
    int exponent = std::atoi(mark + 1);
    std::snprintf(text, sizeof text, "%.*se%d", static_cast<int>(mark - printed), printed, exponent);
}

void formatFixedLabel(char (&text)[48], double value, int decimals) {
    char printed[kFixedTextCapacity];
    size_t length = static_cast<size_t>(formatFixed(printed, value, decimals));
    if (length >= sizeof text) length = sizeof text - 1;  // only huge values: far off the band
    std::memcpy(text, printed, length);
    text[length] = '\0';
}

int labelDecimals(const PenSettings& settings, bool strip) {
    int decimals = settings.decimalPlaces >= 0 && settings.decimalPlaces <= 3 ? settings.decimalPlaces : 0;
    return strip && decimals > 1 ? 1 : decimals;
}

double powerFactorAt(int division) {
    return division <= 5 ? -1.0 + 0.4 * division : 1.0 - 0.4 * (division - 5);
}

int linearPosition(bool strip, int division) {
    return strip ? 460 - 40 * division : 30 + 74 * division;
}

// Colour of the scale's texts and lines.
Colour scaleColour(int group) {
    int pen = scalePenOf(liveConfiguration, group);
    return pen == 0 ? kWhite : rgbOf(scalePenSettings(group, pen).penColour);
}

void prepareScaleText(DeviceContext& image, Colour colour) {
    image.selectFont(FontId::Small);
    image.setTextColour(colour);
    image.setBackgroundColour(kDarkGrey);
    image.setBackgroundMode(BackgroundMode::Opaque);
}

void line(DeviceContext& image, int x1, int y1, int x2, int y2) {
    image.moveTo(x1, y1);
    image.lineTo(x2, y2);
}

// Characters of `text` one by one, 6 pixels apart.
void drawSpacedText(DeviceContext& image, int x, int y, std::string_view text) {
    for (size_t index = 0; index < text.size() && index < kStripDrawnLimit; ++index) {
        image.textOut(x + 6 * static_cast<int>(index), y, text.substr(index, 1));
    }
}

void drawPenScaleBand(DeviceContext& image, int group, int pen, bool live, int top) {
    for (int division = 0; division <= kDivisions; ++division) {
        ScaleLabel label;
        if (!scaleLabel(group, pen, live, false, division, label)) continue;
        int length = static_cast<int>(std::strlen(label.text));
        image.textOut(label.position + 2 - 4 * length, top + 13, label.text);
        line(image, label.position, top + 30, label.position, top + 26);
    }
    line(image, 30, top + 30, 770, top + 30);
}

void drawPercentBand(DeviceContext& image, int top) {
    line(image, 30, top + 20, 770, top + 20);
    for (int division = 0; division <= kDivisions; ++division) {
        char text[8];
        int digits = std::snprintf(text, sizeof text, "%d", 10 * division);
        int linear = 30 + 74 * division;
        image.textOut(linear + 2 - 4 * digits, top + 4, text);
        line(image, linear, top + 20, linear, top + 15);
        int squareRoot = kSquareRootAcross[division] + 30;
        image.textOut(squareRoot + 2 - 4 * digits, top + 26, text);
        line(image, squareRoot, top + 20, squareRoot, top + 25);
    }
}

void drawVerticalMainGrid(DeviceContext& image, int top) {
    for (int column = 104; column < 770; column += 74) {
        image.selectPen(column == 400 ? kDarkGrey : kGrey);
        line(image, column, top, column, 600);
    }
    image.selectPen(kDarkGrey);
    line(image, 30, top, 30, 600);
    line(image, 770, top, 770, 600);
}

// The scale band of a group as drawn last, kept while what it shows stays:
// the scale pen and its settings, live or playback, and the glyphs. Each
// live redraw copies it in again, under the pen markers' pointers.
struct ScaleBandKey {
    int group = -1;
    int pen = 0;
    bool live = false;
    unsigned glyphs = 0;
    PenSettings settings{};
};

bool sameScaleBand(const ScaleBandKey& a, const ScaleBandKey& b) {
    return a.group == b.group && a.pen == b.pen && a.live == b.live && a.glyphs == b.glyphs &&
           std::memcmp(&a.settings, &b.settings, sizeof a.settings) == 0;
}

void drawScaleBand(DeviceContext& band, const ScaleBandKey& key) {
    band.fillSolidRect(0, 0, 800, 40, kDarkGrey);
    prepareScaleText(band, scaleColour(key.group));
    band.selectPen(scaleColour(key.group));
    if (key.pen != 0) {
        drawPenScaleBand(band, key.group, key.pen, key.live, 0);
    } else {
        drawPercentBand(band, 0);
    }
}

const DeviceContext& keptScaleBand(int group, bool live) {
    static DeviceContext band(DeviceContext::kScreenWidth, 40);
    static ScaleBandKey drawn;
    ScaleBandKey wanted;
    wanted.group = group;
    wanted.pen = scalePenOf(liveConfiguration, group);
    wanted.live = live;
    wanted.glyphs = glyphCacheGeneration();
    if (wanted.pen != 0) wanted.settings = scalePenSettings(group, wanted.pen);
    if (!sameScaleBand(drawn, wanted)) {
        drawScaleBand(band, wanted);
        drawn = wanted;
    }
    return band;
}

void drawPenScaleStrip(DeviceContext& image, int group, int pen, bool live, int left) {
    for (int division = 0; division <= kDivisions; ++division) {
        ScaleLabel label;
        if (!scaleLabel(group, pen, live, true, division, label)) continue;
        char aligned[64];
        std::snprintf(aligned, sizeof aligned, "%*s", kStripCharacters, label.text);
        drawSpacedText(image, left + 4, label.position - 7, aligned);
    }
}

void drawPercentStrip(DeviceContext& image, int left) {
    for (int division = 0; division <= kDivisions; ++division) {
        char text[8];
        std::snprintf(text, sizeof text, "%3d", 10 * division);
        drawSpacedText(image, left + 1, 454 - kSquareRootUp[division], text);
        drawSpacedText(image, left + 20, 454 - 40 * division, text);
    }
}

void drawHorizontalMainGrid(DeviceContext& image, int from, int to) {
    for (int row = 60; row <= 460; row += 40) {
        image.selectPen(row == 60 || row == 260 || row == 460 ? kDarkGrey : kGrey);
        line(image, from, row, to, row);
    }
}

}  // namespace

bool scaleLabel(int group, int pen, bool live, bool strip, int division, ScaleLabel& label) {
    label.text[0] = '\0';
    label.position = 0;
    if (group < 0 || group >= kGroupCount || pen < 1 || pen > kPensPerGroup) return false;
    const PenSettings& settings = scalePenSettings(group, pen);
    if (settings.logScale != 0) {
        int decades = logDecadesOf(settings);
        if (division > decades) return false;
        std::snprintf(label.text, sizeof label.text, "E%d", division + lowExponentOf(settings));
        label.position = strip ? 460 - division * 400 / decades : 30 + division * 740 / decades;
        return true;
    }
    label.position = linearPosition(strip, division);
    if (live && isPowerFactorPen(settings)) {
        formatFixedLabel(label.text, powerFactorAt(division), 1);
        return true;
    }
    double value = settings.plotLow + division * (settings.plotHigh - settings.plotLow) / kDivisions;
    if (typedInExponentForm(settings)) {
        formatExponentLabel(label.text, value);
    } else {
        formatFixedLabel(label.text, value, labelDecimals(settings, strip));
    }
    return true;
}

void drawScalePerpendicular(DeviceContext& image, int layout) {
    int top = layout == 0 ? kLiveBandTop : kPlaybackBandTop;
    int group = shownGroup();
    Colour colour = scaleColour(group);
    image.copyFrom(keptScaleBand(group, layout == 0), 0, top);
    prepareScaleText(image, colour);
    image.selectPen(colour);
    drawVerticalMainGrid(image, top + 40);
}

void drawScaleHorizontal(DeviceContext& image, int layout) {
    bool leftward = graphLayout(liveConfiguration) == GraphLayout::Leftward;
    int left = leftward ? (layout == 0 ? 720 : 760) : (layout == 0 ? 40 : 0);
    int group = shownGroup();
    int pen = scalePenOf(liveConfiguration, group);
    image.fillSolidRect(left, 40, 40, 440, kDarkGrey);
    prepareScaleText(image, scaleColour(group));
    if (pen != 0) {
        drawPenScaleStrip(image, group, pen, layout == 0, left);
    } else {
        drawPercentStrip(image, left);
    }
    if (leftward) {
        drawHorizontalMainGrid(image, 0, left);
    } else {
        drawHorizontalMainGrid(image, left + 40, 800);
    }
}

void drawMinorGrid(DeviceContext& image, int top) {
    int fromRow = kMinorTops[top >= 0 && top <= 2 ? top : 0];
    image.selectPen(kLightGrey);
    for (int index = 1; index < 50; ++index) {
        if (index % 5 == 0) continue;
        int column = 30 + 74 * (index / 5) + kMinorOffsets[index % 5 - 1];
        line(image, column, fromRow, column, 600);
    }
}

}  // namespace kvt
