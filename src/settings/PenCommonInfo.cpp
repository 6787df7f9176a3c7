// Showing and storing the pen on screen: the common information, and the
// order in which the kind's details are loaded, validated and stored.
#include <cstdio>

#include "core/FieldText.h"
#include "core/RunFlags.h"
#include "settings/SettingsCommit.h"
#include "settings/EditFilters.h"
#include "settings/PenFieldTexts.h"
#include "settings/PenSettingDialog.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr int kNodeEditLength = 2;
constexpr int kChannelEditLength = 4;

void showRange(Dialog& dialog, int firstId, int lastId, bool visible) {
    for (int id = firstId; id <= lastId; ++id) dialog.show(id, visible);
}

}  // namespace

void PenSettingDialog::enableAll(std::initializer_list<int> ids, bool enabled) {
    for (int id : ids) enable(id, enabled);
}

void PenSettingDialog::LoadPen() {
    readControls();
    char caption[32];
    std::snprintf(caption, sizeof caption, languageFlag != 0 ? "Group %d" : "ｸﾞﾙｰﾌﾟ %d",
                  currentGroup_);
    setText(kGroupLabel, caption);
    std::snprintf(caption, sizeof caption, languageFlag != 0 ? "Pen %d" : "ﾍﾟﾝ %d",
                  currentPen_ + 1);
    setText(kPenLabel, caption);

    int mode = liveConfiguration.operatingMode;
    enable(kPreviousGroup, (mode == kDemoMode || mode == kNormalMode) && currentGroup_ > 1);
    enable(kNextGroup, mode != kHighSpeedMode && currentGroup_ < 10);
    enable(kPreviousPen, currentPen_ > 0);
    enable(kNextPen, currentPen_ < lastPenOf(currentGroup_));

    const PenSettings& pen = penOnScreen();
    loadCommonMembers(pen);
    enableCommonControls();
    showDetailsOfKind();
    if (kindIndex_ == 1) {
        loadDiscreteDetails(pen);
    } else {
        loadAnalogDetails(pen);
    }
    for (int id : {kFunctionBox, kSquareRootLabel, kMovingAverageLabel, kSquareRootBox,
                   kMovingAverageJapanese, kMovingAverageEnglish, kLogLabel, kLogDecadesLabel,
                   kLogExponentLabel, kNormalRadio, kLogRadio, kLogDecadesList, kLogExponentEdit}) {
        show(id, false);
    }
    writeControls();
}

// Radio indexes are 0 or 1 whatever the record holds, judged the way the
// acquisition and the recording judge the field.
void PenSettingDialog::loadCommonMembers(const PenSettings& pen) {
    enabledIndex_ = pen.enabled == 1 ? 1 : 0;
    shownIndex_ = pen.shown == 1 ? 1 : 0;
    kindIndex_ = pen.isDiscrete != 0 ? 1 : 0;
    tagText_ = fieldText(pen.tag);
    unitText_ = fieldText(pen.unit);
    if (currentGroup_ == 0) {
        nodeText_ = fittingNumberText(workingConfiguration.highSpeedNode.number, true,
                                      kNodeEditLength);
        channelText_ = fittingNumberText(currentPen_ + 1, false, kChannelEditLength);
    } else {
        nodeText_ = fittingNumberText(pen.node, true, kNodeEditLength);
        channelText_ = fittingNumberText(pen.channel, false, kChannelEditLength);
    }
    thickLine_ = pen.thickLine != 0 ? 1 : 0;
}

void PenSettingDialog::enableCommonControls() {
    bool stopped = !measurementRunning();
    enableAll({kEnabledLabel, kDisabledRadio, kEnabledRadio, kTagLabel, kTagEdit,
                      kUnitLabel, kUnitEdit},
              stopped);
    enableAll({kKindLabel, kAnalogRadio, kDiscreteRadio, kNodeLabel, kNodeEdit,
                      kChannelLabel, kChannelEdit},
              stopped && currentGroup_ != 0);
    enableAll({kShownLabel, kHiddenRadio, kShownRadio, kColourLabel, kPenColourButton,
                      kThickLabel, kThickBox, kOk, kCancel, kApply},
              true);
}

void PenSettingDialog::showDetailsOfKind() {
    bool analog = kindIndex_ != 1;
    for (int id : {kAnalogTypeLabel, kLowerHeading, kFunctionBox, kSquareRootLabel,
                   kMovingAverageLabel, kSquareRootBox}) {
        show(id, analog);
    }
    showRange(*this, kUpperHeading, kDecimalPlacesList, analog);
    showRange(*this, kOffHeading, kOnChannelEdit, !analog);
}

int PenSettingDialog::validateCommon() {
    int node = nodeNumberFromText(nodeText_);
    if (node < 1 || node > kNodeCount) return reject(kNodeMessage);
    int channel = integerFromText(channelText_);
    if (channel < 1 || channel > kMod15HighestChannel) return reject(kChannelMessage);
    return 0;
}

void PenSettingDialog::storeCommon(PenSettings& pen) const {
    pen.enabled = enabledIndex_ == 1 ? 1 : 0;
    pen.shown = shownIndex_ == 1 ? 1 : 0;
    pen.isDiscrete = kindIndex_ == 1 ? 1 : 0;
    setFieldText(pen.tag, tagText_.c_str());
    setFieldText(pen.unit, unitText_.c_str());
    pen.node = nodeNumberFromText(nodeText_);
    pen.channel = integerFromText(channelText_);
    pen.thickLine = thickLine_ != 0 ? 1 : 0;
}

int PenSettingDialog::StorePen(int kind, int checkRanges) {
    readControls();
    if (kind == -1) kind = kindIndex_;
    if (validateCommon() != 0) return 1;
    int rejected = kind == 1 ? validateDiscrete() : validateAnalog(checkRanges);
    if (rejected != 0) return 1;
    PenSettings& pen = penOnScreen();
    storeCommon(pen);
    if (kind == 1) {
        storeDiscrete(pen);
    } else {
        storeAnalog(pen);
    }
    return 0;
}

}  // namespace kvt
