#include "display/TopBar.h"

#include <string>
#include <string_view>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "display/ButtonLayout.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/LiveSources.h"
#include "display/TopBarTexts.h"
#include "recording/WriteOutage.h"

namespace kvt {
namespace {

constexpr int kTextRow = 4;
constexpr int kCommandTextRow = 25;
constexpr int kLampCount = 3;
constexpr int kLampWidth = 60;

void drawFrame(DeviceContext& dc, const ButtonBox& box, Colour first, Colour second) {
    Pen previous = dc.selectPen(first);
    dc.moveTo(box.left, box.bottom);
    dc.lineTo(box.left, box.top);
    dc.lineTo(box.right, box.top);
    dc.selectPen(second);
    dc.moveTo(box.right, box.top);
    dc.lineTo(box.right, box.bottom);
    dc.lineTo(box.left, box.bottom);
    dc.selectPen(previous);
}

void drawTitleTexts(DeviceContext& image, const TopBarState& state) {
    image.textOut(6, kTextRow, "KVT936PUS Version 2.02B");
    image.textOut(466, kTextRow, groupText(state.language, state.currentGroup));
    image.textOut(546, kTextRow, cycleText(state.language, state.currentGroup, state.storingCycle));
}

void drawSmallButtons(DeviceContext& image, const TopBarState& state) {
    static const char* const captions[kSmallButtonCount] = {"X", "_", ">>", "<<", ">", "<", "SC"};
    for (int index = 0; index < kSmallButtonCount; ++index) {
        drawButtonFrame(image, kSmallButtonRow, index, false);
        image.setTextColour(smallButtonDisabled(state, index) ? kGrey : kWhite);
        std::string_view caption = captions[index];
        if (index == kButtonSaveImage) {
            image.textOut(662, kTextRow, "S");
            image.textOut(669, kTextRow, "C");
        } else if (caption.size() == 1) {
            image.textOut(786 - 20 * index, kTextRow, caption);
        } else {
            image.textOut(783 - 20 * index, kTextRow, caption);
        }
    }
}

// The caption of command button `index` after the state's replacements.
const std::string& commandButtonCaption(const TopBarState& state, int index) {
    bool playback = isPlaybackMode(state.displayMode);
    bool perpendicular = state.graphDirection == 0;
    if (index == kButtonDigitalOrRealValue && perpendicular &&
        state.displayMode == (playback ? kPlaybackWithPanel : kLiveWithPanel)) {
        return replacementCaption(state.language, CaptionReplacement::Hide);
    }
    if (!playback && index == kButtonStartOrCurrent && state.acquisitionRequested &&
        state.acquisitionActive) {
        return replacementCaption(state.language, CaptionReplacement::Stop);
    }
    if (playback && index == kButtonDivide && state.dividedView) {
        return replacementCaption(state.language, CaptionReplacement::Normal);
    }
    return commandCaption(state.language, playback, index);
}

bool commandButtonDisabled(const TopBarState& state, int index) {
    if (index == kButtonAlarmHistory) return state.operatingMode == kHighSpeedMode;
    if (index == kButtonDigitalOrRealValue) return state.graphDirection != 0;
    return false;
}

void drawCommandButtons(DeviceContext& image, const TopBarState& state) {
    int count = commandButtonCount(state.displayMode);
    for (int index = 0; index < count; ++index) {
        drawButtonFrame(image, kCommandButtonRow, index, false);
        const std::string& caption = commandButtonCaption(state, index);
        image.setTextColour(commandButtonDisabled(state, index) ? kGrey : kWhite);
        int x = caption.size() == 8 ? 730 - 80 * index : 728 - 80 * index;
        image.textOut(x, kCommandTextRow, caption);
    }
}

// Lit colour of each lamp, or black when unlit.
Colour lampColour(const TopBarState& state, int lamp) {
    bool running = state.acquisitionActive && state.blink;
    switch (lamp) {
    case 0:
        return running ? kLampGreen : kBlack;
    case 1:
        return running && state.groupRecording ? kLampGreen : kBlack;
    default:
        if (state.writeFailing) return kLampRed;
        if (!state.diskLow) return kLampGreen;
        return state.blink ? kLampOrange : kBlack;
    }
}

void drawLamps(DeviceContext& image, const TopBarState& state) {
    static const char* const labels[kLampCount] = {"Run ", "Data", "Disk"};
    image.setTextColour(kWhite);
    for (int lamp = 0; lamp < kLampCount; ++lamp) {
        int left = lamp * kLampWidth;
        ButtonBox box{left, 20, left + kLampWidth - 1, 39};
        drawFrame(image, box, kDarkGrey, kWhite);
        image.fillSolidRect(left + 3, 23, 14, 14, kBlack);
        Colour lit = lampColour(state, lamp);
        if (lit != kBlack) image.fillSolidRect(left + 4, 24, 12, 12, lit);
        image.textOut(left + 25, kCommandTextRow, labels[lamp]);
    }
}

}  // namespace

TopBarState currentTopBarState() {
    TopBarState state;
    const ConfigurationRecord& config = liveConfiguration;
    state.language = languageFlag;
    state.operatingMode = config.operatingMode;
    state.graphDirection = static_cast<int>(graphLayout(config));
    state.currentGroup = shownGroup();
    state.storingCycle = storingCycleOf(config, state.currentGroup);
    state.selectedPen = selectedPenOf(config, state.currentGroup);
    state.displayMode = displayMode;
    state.dividedView = dividedView != 0;
    state.acquisitionRequested = load(acquisitionRequested) != 0;
    state.acquisitionActive = load(acquisitionActive) != 0;
    state.blink = load(blinkFlag) != 0;
    state.diskLow = load(diskLow) != 0;
    state.writeFailing = writeOutageShown();
    state.groupRecording = groupRecordingFlag(currentGroup) != 0;
    return state;
}

void drawButtonFrame(DeviceContext& dc, int row, int index, bool pressed) {
    ButtonBox box = buttonBox(row, index);
    if (pressed) {
        drawFrame(dc, box, kDarkGrey, kWhite);
    } else {
        drawFrame(dc, box, kWhite, kDarkGrey);
    }
}

bool smallButtonDisabled(const TopBarState& state, int index) {
    bool highSpeed = state.operatingMode == kHighSpeedMode;
    bool panel = isPanelShown(state.displayMode);
    int lastPen = pensOfGroup(state.currentGroup);
    switch (index) {
    case kButtonNextGroup:
        return highSpeed || state.currentGroup >= kTrendGroupCount;
    case kButtonPreviousGroup:
        return highSpeed || state.currentGroup <= 1;
    case kButtonNextPen:
        return !panel || state.selectedPen >= lastPen;
    case kButtonPreviousPen:
        return !panel || state.selectedPen <= 0;
    default:
        return false;
    }
}

void drawTopBar(DeviceContext& image, const TopBarState& state) {
    image.fillSolidRect(0, 0, DeviceContext::kScreenWidth, 40, kBarGrey);
    image.selectFont(FontId::Small);
    image.setTextColour(kWhite);
    image.setBackgroundColour(kBarGrey);
    image.setBackgroundMode(BackgroundMode::Opaque);
    drawTitleTexts(image, state);
    drawSmallButtons(image, state);
    drawCommandButtons(image, state);
    drawLamps(image, state);
}

}  // namespace kvt
