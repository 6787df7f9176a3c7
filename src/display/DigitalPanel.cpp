#include "display/DigitalPanel.h"

#include <cstring>
#include <string_view>

#include "acquisition/AlarmStates.h"
#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/LiveSources.h"
#include "display/TrendGraph.h"
#include "recording/PlaybackPanes.h"
#include "recording/ValueText.h"

namespace kvt {
namespace {

constexpr int kPanelTop = 480;
constexpr int kTagLength = 16;
constexpr int kUnitLength = 6;
constexpr int kStateTextLength = 10;

// Where the parts of one cell go, for the normal and the enlarged cell.
struct CellLayout {
    int width, height;
    FontId font;
    FontId unitFont;
    Point tagBox; int tagBoxWidth, tagBoxHeight;
    Point tagText;
    Point valueBox; int valueBoxWidth, valueBoxHeight;
    Point valueText; int characterStep, afterPointShift;
    Point lowerLamp, upperLamp; int lampWidth, lampHeight;
    Point unitText;
};

constexpr CellLayout kNormalCell{200, 40, FontId::Medium, FontId::Small,
                                 {2, 2}, 156, 18, {4, 4},
                                 {2, 20}, 196, 18, {4, 22}, 10, 2,
                                 {164, 2}, {184, 2}, 10, 18,
                                 {140, 22}};
constexpr CellLayout kEnlargedCell{800, 120, FontId::Large, FontId::Large,
                                   {106, 6}, 480, 54, {112, 12},
                                   {106, 60}, 588, 54, {112, 68}, 30, 6,
                                   {600, 6}, {650, 6}, 30, 54,
                                   {500, 68}};

// The sample the panel shows: a value per pen, or none at all.
struct PanelSample {
    bool live = false;
    bool available = false;
    double values[kPensPerGroup] = {};
};

PanelSample liveSample(int group) {
    PanelSample sample;
    sample.live = true;
    SampleData newest;
    if (!newestLiveSample(group, newest)) return sample;
    sample.available = true;
    std::memcpy(sample.values, newest.values, sizeof sample.values);
    return sample;
}

// The sample under the playback cursor; a cursor outside 0-1599 goes back
// to 0 first.
PanelSample playbackSample() {
    int position = playbackCursorInRange();
    int paneOneEnd = isHorizontal(graphLayout(liveConfiguration)) ? 381 : 261;
    int pane = 0;
    if (dividedView != 0 && position >= paneOneEnd) {
        pane = 1;
        position -= paneOneEnd;
    }
    PanelSample sample;
    sample.available = true;
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        sample.values[pen] = playbackPanes[pane].values[pen][position];
    }
    return sample;
}

std::string_view storedText(const char* field, size_t limit) {
    return std::string_view(field, strnlen(field, limit));
}

void drawLamp(DeviceContext& image, Point at, const CellLayout& cell, Colour inside) {
    image.fillSolidRect(at.x, at.y, cell.lampWidth, cell.lampHeight, kBlack);
    image.fillSolidRect(at.x + 1, at.y + 1, cell.lampWidth - 2, cell.lampHeight - 2, inside);
}

Colour lampColour(int active, Colour normal, Colour alarm) {
    if (active == 0) return rgbOf(normal);
    return load(blinkFlag) != 0 ? rgbOf(alarm) : kBlack;
}

void drawLamps(DeviceContext& image, Point origin, const CellLayout& cell, int group, int pen) {
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    Point lower{origin.x + cell.lowerLamp.x, origin.y + cell.lowerLamp.y};
    Point upper{origin.x + cell.upperLamp.x, origin.y + cell.upperLamp.y};
    drawLamp(image, lower, cell,
             lampColour(lowerAlarmActive(group, pen), settings.lowNormalColour, settings.lowAlarmColour));
    drawLamp(image, upper, cell,
             lampColour(upperAlarmActive(group, pen), settings.highNormalColour, settings.highAlarmColour));
}

// The value text, character by character; characters after the decimal
// point close up a little.
void drawValueText(DeviceContext& image, Point at, const CellLayout& cell, const char* text) {
    bool afterPoint = false;
    for (int index = 0; index < kValueTextWidth && text[index] != '\0'; ++index) {
        int x = at.x + cell.characterStep * index - (afterPoint ? cell.afterPointShift : 0);
        image.textOut(x, at.y, std::string_view(text + index, 1));
        if (text[index] == '.') afterPoint = true;
    }
}

void drawValue(DeviceContext& image, Point origin, const CellLayout& cell, const PenSettings& settings,
               double value, bool live) {
    Point at{origin.x + cell.valueText.x, origin.y + cell.valueText.y};
    if (settings.isDiscrete != 0) {
        const char* state = value == 1.0 ? settings.onText : settings.offText;
        image.textOut(at.x, at.y, storedText(state, kStateTextLength));
        return;
    }
    char text[kValueTextWidth + 1];
    formatValueText(text, settings, value, !live);
    drawValueText(image, at, cell, text);
}

void drawPenCell(DeviceContext& image, Point origin, const CellLayout& cell, int group, int pen,
                 const PanelSample& sample) {
    const PenSettings& settings = liveConfiguration.pen(group, pen);
    Colour colour = rgbOf(settings.penColour);
    image.fillSolidRect(origin.x, origin.y, cell.width, cell.height, colour);
    image.fillSolidRect(origin.x + cell.tagBox.x, origin.y + cell.tagBox.y, cell.tagBoxWidth,
                        cell.tagBoxHeight, kWhite);
    image.fillSolidRect(origin.x + cell.valueBox.x, origin.y + cell.valueBox.y,
                        cell.valueBoxWidth, cell.valueBoxHeight, kWhite);
    image.setTextColour(colour);
    image.setBackgroundColour(kWhite);
    image.setBackgroundMode(BackgroundMode::Opaque);
    image.selectFont(cell.font);
    image.textOut(origin.x + cell.tagText.x, origin.y + cell.tagText.y,
                  storedText(settings.tag, kTagLength));
    if (sample.available && sample.values[pen] != kNoData) {
        drawValue(image, origin, cell, settings, sample.values[pen], sample.live);
        if (sample.live) drawLamps(image, origin, cell, group, pen);
    }
    if (settings.isDiscrete == 0) {
        image.selectFont(cell.unitFont);
        image.textOut(origin.x + cell.unitText.x, origin.y + cell.unitText.y,
                      storedText(settings.unit, kUnitLength));
    }
}

void drawAllPens(DeviceContext& image, int group, const PanelSample& sample) {
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        Point origin{200 * (pen / 3), kPanelTop + 40 * (pen % 3)};
        if (pen >= pensOfGroup(group) || liveConfiguration.pen(group, pen).enabled == 0) {
            image.fillSolidRect(origin.x, origin.y, 200, 40, kBarGrey);
        } else {
            drawPenCell(image, origin, kNormalCell, group, pen, sample);
        }
    }
}

// The enlarged pen is shown only while pen 1 of the group is enabled.
void drawEnlargedPen(DeviceContext& image, int group, int pen, const PanelSample& sample) {
    if (liveConfiguration.pen(group, 0).enabled == 0) {
        image.fillSolidRect(0, kPanelTop, 800, 120, kBarGrey);
        return;
    }
    drawPenCell(image, {0, kPanelTop}, kEnlargedCell, group, pen, sample);
}

}  // namespace

void drawDigitalPanel(DeviceContext& image, int source) {
    int group = shownGroup();
    PanelSample sample = source == 0 ? liveSample(group) : playbackSample();
    int selected = selectedPenOf(liveConfiguration, group);
    if (selected == 0) {
        drawAllPens(image, group, sample);
    } else {
        drawEnlargedPen(image, group, selected - 1, sample);
    }
}

}  // namespace kvt
