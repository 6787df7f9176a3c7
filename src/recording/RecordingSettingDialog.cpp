#include "recording/RecordingSettingDialog.h"

#include <cstdio>
#include <span>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "recording/RecordingDetails.h"
#include "settings/InRangeOr.h"
#include "settings/SettingsCommit.h"

namespace kvt {
namespace {

enum : int {
    kPreviousGroupButton = 1000,
    kGroupLabel = 1033,
    kNextGroupButton = 1031,
    kBasicBox = 1005,
    kCycleLabel = 1034,
    kJapaneseCycleList = 1028,
    kEnglishCycleList = 1046,
    kHighSpeedCycleLabel = 1029,
    kModeLabel = 1026,
    kFirstModeRadio = 1036,  // to 1040, mode 0 to 4
    kAutoRadio = 1040,
    kDetailBox = 1009,
    kChoiceLabel = 1027,
    kFirstChoiceRadio = 1006,
    kSecondChoiceRadio = 1007,
    kFirstDetailEdit = 1016,  // to 1023
};

constexpr int kDetailEditCount = 8;
constexpr int kDetailLabels[kDetailEditCount] = {1030, 1032, 1035, 1041, 1042, 1043, 1044, 1045};
constexpr int kCycleCount = 6;
constexpr const char* kJapaneseCycles[kCycleCount] = {"0.5 秒", "1 秒",  "2 秒",
                                                      "5 秒",   "10 秒", "1 分"};
constexpr const char* kEnglishCycles[kCycleCount] = {"0.5 Sec.", "1 Sec.",  "2 Sec.",
                                                     "5 Sec.",   "10 Sec.", "1 Min."};
// Inputs other than the arrows, OK and Cancel: locked while a measurement runs.
constexpr int kInputs[] = {
    kBasicBox,  kCycleLabel,  kJapaneseCycleList, kEnglishCycleList, kHighSpeedCycleLabel,
    kModeLabel, 1036,         1037,               1038,              1039,
    1040,       kDetailBox,   kChoiceLabel,       kFirstChoiceRadio, kSecondChoiceRadio,
    1030,       1032,         1035,               1041,              1042,
    1043,       1044,         1045,               1016,              1017,
    1018,       1019,         1020,               1021,              1022,
    1023,
};

int detailEditId(int index) { return kFirstDetailEdit + index; }

}  // namespace

const DialogTemplate& RecordingSettingDialog::layout() {
    static const DialogTemplate dialogTemplate{
        133,
        "収録設定",
        291,
        190,
        {
            {kPreviousGroupButton, ControlKind::PushButton, {65, 5, 50, 15}, "<<"},
            {kGroupLabel, ControlKind::Label, {120, 10, 40, 10}, "ｸﾞﾙｰﾌﾟ %d", kCentred},
            {kNextGroupButton, ControlKind::PushButton, {165, 5, 50, 15}, ">>"},
            {kBasicBox, ControlKind::GroupBox, {5, 25, 280, 60}, "基本情報"},
            {kCycleLabel, ControlKind::Label, {10, 40, 45, 8}, "収録周期"},
            {kJapaneseCycleList, ControlKind::ComboBox, {61, 35, 45, 115}, ""},
            {kEnglishCycleList, ControlKind::ComboBox, {60, 35, 45, 95}, ""},
            {kHighSpeedCycleLabel, ControlKind::Label, {61, 40, 65, 10}, "0.05 秒固定 "},
            {kModeLabel, ControlKind::Label, {10, 55, 45, 8}, "収録方法"},
            {1036, ControlKind::RadioButton, {61, 55, 64, 8}, "無し", kFirstInGroup},
            {1037, ControlKind::RadioButton, {130, 55, 65, 8}, "通常"},
            {1038, ControlKind::RadioButton, {200, 55, 65, 8}, "ﾄﾘｶﾞ連動"},
            {1039, ControlKind::RadioButton, {60, 70, 65, 8}, "ﾄﾘｶﾞ収録"},
            {1040, ControlKind::RadioButton, {130, 70, 65, 8}, "自動収録"},
            {kDetailBox, ControlKind::GroupBox, {5, 90, 280, 75}, "詳細情報"},
            {kChoiceLabel, ControlKind::Label, {10, 105, 45, 8}, ""},
            {kFirstChoiceRadio, ControlKind::RadioButton, {60, 105, 55, 8}, "", kFirstInGroup},
            {kSecondChoiceRadio, ControlKind::RadioButton, {120, 105, 55, 8}, ""},
            {1030, ControlKind::Label, {10, 120, 45, 8}, ""},
            {1016, ControlKind::Edit, {60, 120, 25, 12}, ""},
            {1032, ControlKind::Label, {10, 135, 45, 8}, ""},
            {1017, ControlKind::Edit, {60, 135, 25, 12}, ""},
            {1035, ControlKind::Label, {10, 150, 45, 8}, ""},
            {1018, ControlKind::Edit, {60, 150, 25, 12}, ""},
            {1041, ControlKind::Label, {100, 120, 45, 8}, ""},
            {1019, ControlKind::Edit, {150, 120, 25, 12}, ""},
            {1042, ControlKind::Label, {100, 135, 45, 8}, ""},
            {1020, ControlKind::Edit, {150, 135, 25, 12}, ""},
            {1043, ControlKind::Label, {100, 150, 45, 8}, ""},
            {1021, ControlKind::Edit, {150, 150, 25, 12}, ""},
            {1044, ControlKind::Label, {200, 135, 45, 8}, ""},
            {1022, ControlKind::Edit, {250, 130, 25, 12}, ""},
            {1045, ControlKind::Label, {200, 150, 45, 8}, ""},
            {1023, ControlKind::Edit, {250, 150, 25, 12}, ""},
            {IDOK, ControlKind::DefaultButton, {5, 170, 50, 15}, "OK"},
            {IDCANCEL, ControlKind::PushButton, {235, 170, 50, 16}, "ｷｬﾝｾﾙ"},
        },
        "Store setting",
        {
            {kBasicBox, "Basic information"},
            {kCycleLabel, "Storing cycle"},
            {kModeLabel, "Storing mode"},
            {kHighSpeedCycleLabel, "0.05Sec"},
            {1036, "No recording"},
            {1037, "Normal"},
            {1038, "Remote trigger"},
            {1039, "Event recording"},
            {1040, "Auto"},
            {kDetailBox, "Detail"},
            {IDOK, "OK"},
            {IDCANCEL, "Cancel"},
        },
    };
    return dialogTemplate;
}

RecordingSettingDialog::RecordingSettingDialog(int group)
    : Dialog(layout()), group_(inRangeOr(group, 0, kTrendGroupCount, 1)) {}

bool RecordingSettingDialog::onInitDialog() {
    beginSettingsEdit();
    fillCycleLists();
    UpdateControlStates();
    if (languageFlag == 1) applyEnglishCaptions();
    return true;
}

void RecordingSettingDialog::fillCycleLists() {
    clearItems(kJapaneseCycleList);
    clearItems(kEnglishCycleList);
    for (int cycle = 0; cycle < kCycleCount; ++cycle) {
        addItem(kJapaneseCycleList, kJapaneseCycles[cycle]);
        addItem(kEnglishCycleList, kEnglishCycles[cycle]);
    }
}

void RecordingSettingDialog::readControls() {
    japaneseCycle_ = selection(kJapaneseCycleList);
    mode_ = radioIndex(kFirstModeRadio);
    choice_ = radioIndex(kFirstChoiceRadio);
    for (int index = 0; index < kDetailEditCount; ++index) texts_[index] = text(detailEditId(index));
    englishCycle_ = selection(kEnglishCycleList);
}

void RecordingSettingDialog::writeControls() {
    setSelection(kJapaneseCycleList, inRangeOr(japaneseCycle_, 0, kCycleCount - 1, -1));
    setRadioIndex(kFirstModeRadio, mode_);
    setRadioIndex(kFirstChoiceRadio, choice_);
    for (int index = 0; index < kDetailEditCount; ++index) setText(detailEditId(index), texts_[index]);
    setSelection(kEnglishCycleList, inRangeOr(englishCycle_, 0, kCycleCount - 1, -1));
}

void RecordingSettingDialog::UpdateControlStates() {
    readControls();
    char caption[32];
    std::snprintf(caption, sizeof caption, byLanguage("Group %d", "ｸﾞﾙｰﾌﾟ %d"), group_);
    setText(kGroupLabel, caption);
    int liveMode = liveConfiguration.operatingMode;
    enable(kPreviousGroupButton, (liveMode == kDemoMode || liveMode == kNormalMode) && group_ > 1);
    enable(kNextGroupButton, liveMode != kHighSpeedMode && group_ <= 9);
    loadGroupSettings();
    enableInputs();
    showDetails();
    writeControls();
}

// Out-of-range stored values (a hand-edited file) show as the defaults.
void RecordingSettingDialog::loadGroupSettings() {
    bool highSpeed = group_ == 0;
    bool english = languageFlag == 1;
    show(kJapaneseCycleList, !highSpeed && !english);
    show(kEnglishCycleList, !highSpeed && english);
    show(kHighSpeedCycleLabel, highSpeed);
    show(kAutoRadio, !highSpeed);
    if (highSpeed) {
        japaneseCycle_ = englishCycle_ = 0;
        mode_ = inRangeOr(workingConfiguration.highSpeedRecording.storingMode, kNoRecording,
                          kEventRecording, kNoRecording);
        return;
    }
    const GroupRecordingSettings& settings = workingConfiguration.group(group_);
    japaneseCycle_ = englishCycle_ =
        inRangeOr(settings.storingCycle, kCycleHalfSecond, kCycle1min, kCycleHalfSecond);
    mode_ = inRangeOr(settings.storingMode, kNoRecording, kAuto, kNoRecording);
}

void RecordingSettingDialog::enableInputs() {
    bool stopped = !measurementRunning();
    for (int id : kInputs) enable(id, stopped);
    enable(kDetailBox, stopped && mode_ >= kRemoteTrigger);
}

void RecordingSettingDialog::showDetails() {
    ChoiceCaptions captions = choiceCaptionsOf(mode_);
    bool choiceShown = mode_ >= kRemoteTrigger;
    for (int id : {kChoiceLabel, kFirstChoiceRadio, kSecondChoiceRadio}) show(id, choiceShown);
    if (choiceShown) {
        setText(kChoiceLabel, captions.label);
        setText(kFirstChoiceRadio, captions.first);
        setText(kSecondChoiceRadio, captions.second);
        const int32_t& choice =
            group_ == 0 ? workingConfiguration.highSpeedRecording.triggerCondition
            : mode_ == kAuto ? workingConfiguration.group(group_).autoMethod
                             : workingConfiguration.group(group_).triggerCondition;
        choice_ = inRangeOr(choice, 0, 1, 0);
    }
    std::span<const DetailField> fields = detailFieldsOf(group_, mode_);
    for (int index = 0; index < kDetailEditCount; ++index) {
        bool shown = index < static_cast<int>(fields.size());
        show(kDetailLabels[index], shown);
        show(detailEditId(index), shown);
        if (!shown) continue;
        setText(kDetailLabels[index], detailCaption(fields[index]));
        texts_[index] = detailText(fields[index], *detailFieldIn(workingConfiguration, group_,
                                                                   fields[index]));
    }
    if (mode_ != kAuto) {
        for (int index = 3; index < kDetailEditCount; ++index) texts_[index].clear();
    }
}

int RecordingSettingDialog::selectedCycle() const {
    return languageFlag == 1 ? englishCycle_ : japaneseCycle_;
}

int RecordingSettingDialog::Apply(int mode) {
    readControls();
    int detailMode = mode == -1 ? mode_ : mode;
    if (!detailsValid(detailMode)) {
        writeControls();
        return 1;
    }
    storeGroupSettings(detailMode);
    writeControls();
    return 0;
}

// Checks the edits in order and reports the first one out of range.
bool RecordingSettingDialog::detailsValid(int mode) {
    std::span<const DetailField> fields = detailFieldsOf(group_, mode);
    for (size_t index = 0; index < fields.size(); ++index) {
        if (!detailTextValid(fields[index], texts_[index])) {
            showDetailRangeMessage(fields[index]);
            return false;
        }
    }
    return true;
}

// The storing mode is the one selected; the details are those of
// `detailMode`, whose edits are shown (the old mode while the radio
// moves). Fields the mode does not show keep their values.
void RecordingSettingDialog::storeGroupSettings(int detailMode) {
    ConfigurationRecord& config = workingConfiguration;
    if (group_ == 0) {
        if (mode_ >= 0) config.highSpeedRecording.storingMode = mode_;
        if ((detailMode == kRemoteTrigger || detailMode == kEventRecording) && choice_ >= 0) {
            config.highSpeedRecording.triggerCondition = choice_;
        }
    } else {
        GroupRecordingSettings& settings = config.group(group_);
        if (selectedCycle() >= 0) settings.storingCycle = selectedCycle();
        if (mode_ >= 0) settings.storingMode = mode_;
        if (choice_ >= 0 && detailMode >= kRemoteTrigger) {
            (detailMode == kAuto ? settings.autoMethod : settings.triggerCondition) = choice_;
        }
    }
    std::span<const DetailField> fields = detailFieldsOf(group_, detailMode);
    for (size_t index = 0; index < fields.size(); ++index) {
        *detailFieldIn(config, group_, fields[index]) = detailValue(fields[index], texts_[index]);
    }
}

void RecordingSettingDialog::onCommand(int id) {
    if (id == kPreviousGroupButton) {
        if (group_ > 1) showNeighbour(-1);
    } else if (id == kNextGroupButton) {
        if (group_ <= 9) showNeighbour(+1);
    } else if (id >= kFirstModeRadio && id <= kAutoRadio) {
        OnStoringModeChanged();
    }
    Dialog::onCommand(id);
}

void RecordingSettingDialog::showNeighbour(int step) {
    if (Apply(-1) != 0) return;
    group_ += step;
    UpdateControlStates();
}

void RecordingSettingDialog::OnStoringModeChanged() {
    int oldMode = mode_;
    readControls();
    if (mode_ == oldMode) return;
    if (Apply(oldMode) == 0) {
        UpdateControlStates();
    } else {
        mode_ = oldMode;
        setRadioIndex(kFirstModeRadio, oldMode);
    }
}

void RecordingSettingDialog::onTextChanged(int id) {
    if (id >= kFirstDetailEdit && id < kFirstDetailEdit + kDetailEditCount) {
        FilterDetailEdit(id - kFirstDetailEdit + 1);
    }
}

// Only the edits the selected mode uses are filtered.
void RecordingSettingDialog::FilterDetailEdit(int n) {
    std::span<const DetailField> fields = detailFieldsOf(group_, radioIndex(kFirstModeRadio));
    int index = n - 1;
    if (index < 0 || index >= static_cast<int>(fields.size())) return;
    setText(detailEditId(index), filterDetailText(fields[index], text(detailEditId(index))));
}

void RecordingSettingDialog::onOk() {
    if (Apply(-1) != 0) return;
    if (!measurementRunning()) commitSettingsEdit();
    endDialog(IDOK);
}

}  // namespace kvt
