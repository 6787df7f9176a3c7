// Exchange between the dialog's members and its controls. Controls hold
// UTF-8, members the Shift-JIS bytes the configuration stores; every text
// passes its edit's filter whichever way it goes, so nothing the filters
// would stop (a paste, a stored text without its NUL) reaches a member.
#include "platform/SjisText.h"
#include "settings/PenEditFilters.h"
#include "settings/PenSettingDialog.h"

namespace kvt {

using namespace pen_ids;

namespace {

bool isAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

std::string toSjis(const std::string& utf8) { return isAscii(utf8) ? utf8 : utf8ToSjis(utf8); }
std::string toUtf8(const std::string& sjis) { return isAscii(sjis) ? sjis : sjisToUtf8(sjis); }

}  // namespace

std::string* PenSettingDialog::memberTextOf(int editId) {
    switch (editId) {
    case kTagEdit: return &tagText_;
    case kUnitEdit: return &unitText_;
    case kNodeEdit: return &nodeText_;
    case kChannelEdit: return &channelText_;
    case kOffNameEdit: return &displayNames_[0];
    case kOnNameEdit: return &displayNames_[1];
    case kOffDelayEdit: return &delayTexts_[0];
    case kOnDelayEdit: return &delayTexts_[1];
    case kOffNodeEdit: return &discreteNodeTexts_[0];
    case kOnNodeEdit: return &discreteNodeTexts_[1];
    case kOffChannelEdit: return &discreteChannelTexts_[0];
    case kOnChannelEdit: return &discreteChannelTexts_[1];
    default: break;
    }
    if (editId >= kInputLowEdit && editId < kInputLowEdit + kAnalogEditCount) {
        return &analogTexts_[editId - kInputLowEdit];
    }
    return nullptr;
}

void PenSettingDialog::readControls() {
    enabledIndex_ = radioIndex(kDisabledRadio);
    shownIndex_ = radioIndex(kHiddenRadio);
    kindIndex_ = radioIndex(kAnalogRadio);
    logIndex_ = radioIndex(kNormalRadio);
    thickLine_ = checked(kThickBox);
    discreteAlarmFlags_[0] = checked(kOffAlarmBox);
    discreteAlarmFlags_[1] = checked(kOnAlarmBox);
    alarmOutputFlags_[0] = checked(kOutputLowBox);
    alarmOutputFlags_[1] = checked(kOutputHighBox);
    squareRoot_ = checked(kSquareRootBox);
    analogTypeIndex_ = selection(kAnalogTypeList);
    logDecadesIndex_ = selection(kLogDecadesList);
    decimalPlacesIndex_ = selection(kDecimalPlacesList);
    movingAverageJapaneseIndex_ = selection(kMovingAverageJapanese);
    movingAverageEnglishIndex_ = selection(kMovingAverageEnglish);
    for (const PenEditFilter& filter : penEditFilters()) {
        *memberTextOf(filter.editId) = filterPenText(filter, toSjis(text(filter.editId)));
    }
}

void PenSettingDialog::writeControls() {
    setRadioIndex(kDisabledRadio, enabledIndex_);
    setRadioIndex(kHiddenRadio, shownIndex_);
    setRadioIndex(kAnalogRadio, kindIndex_);
    setRadioIndex(kNormalRadio, logIndex_);
    setChecked(kThickBox, thickLine_);
    setChecked(kOffAlarmBox, discreteAlarmFlags_[0]);
    setChecked(kOnAlarmBox, discreteAlarmFlags_[1]);
    setChecked(kOutputLowBox, alarmOutputFlags_[0]);
    setChecked(kOutputHighBox, alarmOutputFlags_[1]);
    setChecked(kSquareRootBox, squareRoot_);
    setSelection(kAnalogTypeList, analogTypeIndex_);
    setSelection(kLogDecadesList, logDecadesIndex_);
    setSelection(kDecimalPlacesList, decimalPlacesIndex_);
    setSelection(kMovingAverageJapanese, movingAverageJapaneseIndex_);
    setSelection(kMovingAverageEnglish, movingAverageEnglishIndex_);
    for (const PenEditFilter& filter : penEditFilters()) {
        std::string* member = memberTextOf(filter.editId);
        *member = filterPenText(filter, *member);
        setText(filter.editId, toUtf8(*member));
    }
}

void PenSettingDialog::FilterPenEdit(int code) {
    if (penEditFilterForCode(code) == nullptr) return;
    readControls();
    writeControls();
}

}  // namespace kvt
