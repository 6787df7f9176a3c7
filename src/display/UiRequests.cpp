#include "display/UiRequests.h"

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/MeasurementStart.h"
#include "core/RunFlags.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/PlaybackNavigation.h"
#include "display/PlaybackRequests.h"
#include "platform/WindowCommands.h"
#include "recording/RecordingBuffers.h"
#include "recording/ScreenImageExport.h"

namespace kvt {
namespace {

constexpr int kFirstScaleRequest = 200;  // 200 percent scale, 201-212 the scale of pen 1-12
constexpr int kLastScaleRequest = 212;

void nextGroup() {
    if (liveConfiguration.operatingMode == kHighSpeedMode || currentGroup >= kTrendGroupCount) return;
    ++currentGroup;
    showChangedGroup();
}

void previousGroup() {
    if (liveConfiguration.operatingMode == kHighSpeedMode || currentGroup <= 1) return;
    --currentGroup;
    showChangedGroup();
}

// Per-group display settings change through the working configuration, so
// the next refresh takes them over and saves them. A commit that is still
// waiting there is kept: the field is changed on top of it.
ConfigurationRecord& workingCopyForDisplayChange() {
    if (load(g_settingsChanged) != 1) {
        std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
    }
    return workingConfiguration;
}

void commitDisplayChange() { store(g_settingsChanged, 1); }

void setSelectedPen(int pen) {
    workingCopyForDisplayChange().selectedPen[shownGroup()] = pen;
    commitDisplayChange();
}

void nextPen() {
    int group = shownGroup();
    int selected = selectedPenOf(liveConfiguration, group);
    if (isPanelShown(displayMode) && selected < pensOfGroup(group)) setSelectedPen(selected + 1);
}

void previousPen() {
    int selected = selectedPenOf(liveConfiguration, shownGroup());
    if (isPanelShown(displayMode) && selected > 0) setSelectedPen(selected - 1);
}

// Shows or hides the panel within live or playback; only the perpendicular
// layout can hide it.
void togglePanel(int withoutPanel, int withPanel) {
    if (graphLayout(liveConfiguration) != GraphLayout::Perpendicular) return;
    if (displayMode == withoutPanel) {
        displayMode = withPanel;
    } else if (displayMode == withPanel) {
        displayMode = withoutPanel;
    }
}

// "Digital" / "Hide" (live), "Real Value" / "Hide" (playback).
void toggleDigitalPanel() { togglePanel(kLiveTrend, kLiveWithPanel); }
void togglePlaybackPanel() { togglePanel(kPlaybackTrend, kPlaybackWithPanel); }

// Start when nothing runs; ask before stopping when a run is going. While
// a start is under way (requested, not yet active) the press does nothing.
void startOrStop() {
    if (requestMeasurementStart()) return;
    if (load(acquisitionRequested) == 1 && load(acquisitionActive) == 1) {
        postWindowCommand(kCommandStopQuestion);
    }
}

void selectScale(int request) {
    workingCopyForDisplayChange().scalePen[shownGroup()] = request - kFirstScaleRequest;
    commitDisplayChange();
}

struct RequestAction {
    int code;
    void (*act)();
};

constexpr RequestAction kActions[] = {
    {kRequestNextGroup, nextGroup},
    {kRequestPreviousGroup, previousGroup},
    {kRequestNextPen, nextPen},
    {kRequestPreviousPen, previousPen},
    {kRequestDigital, toggleDigitalPanel},
    {kRequestStartStop, startOrStop},
    {kRequestRetrieve, enterPlayback},
    {kRequestRecord, leavePlayback},
    {kRequestRealValue, togglePlaybackPanel},
    {kRequestCurrent, requestCurrentTime},
    {kRequestDivide, toggleDividedView},
};

void carryOut(int request, const DeviceContext& screenImage) {
    if (request == kRequestSaveImage) {
        exportScreenImage(screenImage);  // no message, whether it was written or not
        return;
    }
    if (request >= kFirstScaleRequest && request <= kLastScaleRequest) {
        selectScale(request);
        return;
    }
    if (isNavigationRequest(request)) {
        navigate(request);
        return;
    }
    for (const RequestAction& action : kActions) {
        if (action.code == request) {
            action.act();
            return;
        }
    }
}

}  // namespace

void processUiRequest(const DeviceContext& screenImage) {
    int request = pendingUiRequest;
    carryOut(request, screenImage);
    pendingUiRequest = kNoRequest;
}

bool storeUiRequest(int request) {
    if (pendingUiRequest != kNoRequest) return false;
    pendingUiRequest = request;
    return true;
}

}  // namespace kvt
