#include "settings/BasicSettingDialog.h"

#include <algorithm>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "settings/EditFilters.h"
#include "settings/InRangeOr.h"
#include "settings/SettingsCommit.h"

namespace kvt {
namespace {

enum : int {
    kApplyButton = 1000,
    kModeBox = 1005,
    kDemoRadio = 1002,
    kHighSpeedRadio = 1003,
    kNormalRadio = 1004,
    kDirectionBox = 1009,
    kPerpendicularRadio = 1006,
    kDrawModeBox = 1012,
    kAllDataRadio = 1010,
    kRecordedDataRadio = 1011,
    kTemperatureBox = 1015,
    kCentigradeRadio = 1013,
    kFahrenheitRadio = 1014,
    kPeriodBox = 1017,
    kPeriodEdit = 1016,
    kDaysLabel = 1018,
    kPortBox = 1025,
    kCom1Radio = 1019,
    kTcpRadio = 1024,
    kFirstOctetEdit = 1026,  // to 1029
};

constexpr int kOctetCount = 4;
constexpr int kPeriodDigits = 3;
constexpr int kOctetDigits = 3;
constexpr int kLowestPeriod = 1;
constexpr int kHighestPeriod = 999;
constexpr int kHighestOctet = 255;

// Controls that change acquisition or recording: usable only while no
// measurement runs.
constexpr int kStoppedOnlyControls[] = {
    kModeBox,         kDrawModeBox,     kTemperatureBox, kPeriodBox, kPortBox,
    kDemoRadio,       kHighSpeedRadio,  kNormalRadio,    kAllDataRadio,
    kRecordedDataRadio, kCentigradeRadio, kFahrenheitRadio, kPeriodEdit, kDaysLabel,
    kCom1Radio, 1020, 1021, 1022, 1023,
};

int octetEditId(int n) { return kFirstOctetEdit + n - 1; }

}  // namespace

const DialogTemplate& BasicSettingDialog::layout() {
    static const DialogTemplate dialogTemplate{
        130,
        "基本設定項目",
        190,
        155,
        {
            {kModeBox, ControlKind::GroupBox, {5, 5, 85, 35}, "動作ﾓｰﾄﾞ"},
            {kDemoRadio, ControlKind::RadioButton, {10, 15, 75, 8}, "ﾃﾞﾓﾓｰﾄﾞ", kFirstInGroup},
            {kHighSpeedRadio, ControlKind::RadioButton, {10, 25, 75, 8}, "Modbus 高速ﾓｰﾄﾞ"},
            {kNormalRadio, ControlKind::RadioButton, {10, 25, 75, 8}, "Modbus 中速ﾓｰﾄﾞ"},
            {kDirectionBox, ControlKind::GroupBox, {5, 45, 85, 45}, "ｸﾞﾗﾌ表示方向"},
            {kPerpendicularRadio, ControlKind::RadioButton, {9, 55, 66, 8}, "縦書き", kFirstInGroup},
            {1007, ControlKind::RadioButton, {9, 65, 66, 8}, "横書き（←）"},
            {1008, ControlKind::RadioButton, {9, 75, 66, 8}, "横書き（→）"},
            {kDrawModeBox, ControlKind::GroupBox, {5, 95, 85, 35}, "ｸﾞﾗﾌ描画ﾓｰﾄﾞ"},
            {kAllDataRadio, ControlKind::RadioButton, {9, 105, 66, 8}, "全て", kFirstInGroup},
            {kRecordedDataRadio, ControlKind::RadioButton, {9, 115, 66, 8}, "収録ﾃﾞｰﾀのみ"},
            {kTemperatureBox, ControlKind::GroupBox, {100, 5, 85, 35}, "温度表現"},
            {kCentigradeRadio, ControlKind::RadioButton, {105, 15, 65, 8}, "摂氏", kFirstInGroup},
            {kFahrenheitRadio, ControlKind::RadioButton, {105, 25, 65, 8}, "華氏"},
            {kPeriodBox, ControlKind::GroupBox, {100, 5, 85, 25}, "ﾃﾞｰﾀ保存期間"},
            {kPeriodEdit, ControlKind::Edit, {105, 15, 30, 10}, "", kCentred},
            {kDaysLabel, ControlKind::Label, {140, 15, 30, 10}, "日"},
            {kPortBox, ControlKind::GroupBox, {100, 35, 85, 85}, "通信ﾎﾟｰﾄ"},
            {kCom1Radio, ControlKind::RadioButton, {105, 45, 40, 8}, "COM1", kFirstInGroup},
            {1020, ControlKind::RadioButton, {105, 55, 40, 8}, "COM2"},
            {1021, ControlKind::RadioButton, {105, 65, 40, 8}, "COM3"},
            {1022, ControlKind::RadioButton, {105, 75, 40, 8}, "COM4"},
            {1023, ControlKind::RadioButton, {105, 85, 40, 8}, "COM5"},
            {kTcpRadio, ControlKind::RadioButton, {105, 95, 40, 8}, "TCP/IP"},
            {1026, ControlKind::Edit, {105, 105, 15, 10}, "", kCentred},
            {kNoControlId, ControlKind::Label, {120, 105, 5, 10}, "."},
            {1027, ControlKind::Edit, {125, 105, 15, 10}, "", kCentred},
            {kNoControlId, ControlKind::Label, {140, 105, 5, 10}, "."},
            {1028, ControlKind::Edit, {145, 105, 15, 10}, "", kCentred},
            {kNoControlId, ControlKind::Label, {160, 105, 5, 10}, "."},
            {1029, ControlKind::Edit, {165, 105, 15, 10}, "", kCentred},
            {IDOK, ControlKind::DefaultButton, {5, 135, 50, 15}, "OK"},
            {IDCANCEL, ControlKind::PushButton, {70, 135, 50, 15}, "ｷｬﾝｾﾙ"},
            {kApplyButton, ControlKind::PushButton, {135, 135, 50, 15}, "適用"},
        },
        "Basic setting",
        {
            {kModeBox, "Operating Mode"},
            {kDemoRadio, "Demo mode"},
            {kHighSpeedRadio, "High speed mode"},
            {kNormalRadio, "Normal mode"},
            {kDirectionBox, "Graph direction"},
            {kPerpendicularRadio, "Perpendicular"},
            {1007, "Horizontal( <- )"},
            {1008, "Horizontal( -> )"},
            {kDrawModeBox, "Graph mode"},
            {kAllDataRadio, "All"},
            {kRecordedDataRadio, "Recording data"},
            {kTemperatureBox, "Temperature Unit"},
            {kCentigradeRadio, "Centigrade"},
            {kFahrenheitRadio, "Fahrenheit"},
            {kPeriodBox, "Storage period"},
            {kDaysLabel, "days"},
            {kPortBox, "Communication Port"},
            {IDCANCEL, "Cancel"},
            {kApplyButton, "Apply"},
        },
    };
    return dialogTemplate;
}

BasicSettingDialog::BasicSettingDialog() : Dialog(layout()) {}

bool BasicSettingDialog::onInitDialog() {
    beginSettingsEdit();
    readControls();
    loadFromWorkingConfiguration();
    if (languageFlag == 1) applyEnglishCaptions();
    writeControls();
    UpdateControlStates();
    return true;
}

// Values a hand-edited file may hold out of range are shown as a sane
// choice; the temperature unit, which the user never sees, is kept as
// stored.
void BasicSettingDialog::loadFromWorkingConfiguration() {
    const ConfigurationRecord& config = workingConfiguration;
    operatingMode_ = inRangeOr(config.operatingMode, kDemoMode, kNormalMode, kDemoMode);
    graphDirection_ = inRangeOr(config.graphDirection, 0, 2, 0);
    graphMode_ = inRangeOr(config.graphDrawMode, 0, 1, 0);
    temperatureUnit_ = config.temperatureUnit;
    storagePeriod_ = std::to_string(config.storagePeriodDays);
    commPort_ = inRangeOr(config.commPort, 0, kCommPortTcp, 0);
    for (int octet = 0; octet < kOctetCount; ++octet) {
        octets_[octet] = std::to_string(std::clamp(config.ipAddress[octet], 0, kHighestOctet));
    }
}

void BasicSettingDialog::readControls() {
    operatingMode_ = radioIndex(kDemoRadio);
    graphDirection_ = radioIndex(kPerpendicularRadio);
    graphMode_ = radioIndex(kAllDataRadio);
    temperatureUnit_ = radioIndex(kCentigradeRadio);
    storagePeriod_ = text(kPeriodEdit);
    commPort_ = radioIndex(kCom1Radio);
    for (int n = 1; n <= kOctetCount; ++n) octets_[n - 1] = text(octetEditId(n));
}

void BasicSettingDialog::writeControls() {
    setRadioIndex(kDemoRadio, operatingMode_);
    setRadioIndex(kPerpendicularRadio, graphDirection_);
    setRadioIndex(kAllDataRadio, graphMode_);
    setRadioIndex(kCentigradeRadio, temperatureUnit_);
    setText(kPeriodEdit, storagePeriod_);
    setRadioIndex(kCom1Radio, commPort_);
    for (int n = 1; n <= kOctetCount; ++n) setText(octetEditId(n), octets_[n - 1]);
}

void BasicSettingDialog::UpdateControlStates() {
    readControls();
    bool stopped = !measurementRunning();
    for (int id : kStoppedOnlyControls) enable(id, stopped);
    enable(kTcpRadio, stopped && operatingMode_ != kHighSpeedMode);
    for (int n = 1; n <= kOctetCount; ++n) {
        enable(octetEditId(n), stopped && commPort_ == kCommPortTcp);
    }
    for (int id : {kHighSpeedRadio, kTemperatureBox, kCentigradeRadio, kFahrenheitRadio}) {
        show(id, false);
    }
    writeControls();
}

void BasicSettingDialog::onCommand(int id) {
    if (id == kApplyButton) {
        Apply();
    } else if (id == kHighSpeedRadio) {
        selectHighSpeed();
    } else if (id == kDemoRadio || id == kNormalRadio || (id >= kCom1Radio && id <= kTcpRadio)) {
        UpdateControlStates();
    }
    Dialog::onCommand(id);
}

// High-speed polling and TCP/IP exclude each other.
void BasicSettingDialog::selectHighSpeed() {
    if (measurementRunning()) return;
    readControls();
    if (commPort_ == kCommPortTcp) commPort_ = 0;
    writeControls();
    UpdateControlStates();
}

void BasicSettingDialog::onTextChanged(int id) {
    if (id == kPeriodEdit) {
        filterStoragePeriod();
    } else if (id >= octetEditId(1) && id <= octetEditId(kOctetCount)) {
        FilterAddressOctet(id - kFirstOctetEdit + 1);
    }
}

void BasicSettingDialog::filterStoragePeriod() {
    setText(kPeriodEdit, keepDecimalDigits(text(kPeriodEdit), kPeriodDigits));
}

void BasicSettingDialog::FilterAddressOctet(int n) {
    if (n < 1 || n > kOctetCount) return;
    std::string digits = keepDecimalDigits(text(octetEditId(n)), kOctetDigits);
    if (integerFromText(digits) > kHighestOctet) digits = std::to_string(kHighestOctet);
    setText(octetEditId(n), digits);
}

int BasicSettingDialog::Apply() {
    readControls();
    int days = integerFromText(storagePeriod_);
    if (days < kLowestPeriod || days > kHighestPeriod) {
        bilingualMessageBox("Available to use from 1 to 999.", "1-999を入力して下さい。");
        writeControls();
        return 1;
    }
    ConfigurationRecord& config = workingConfiguration;
    if (operatingMode_ >= 0) config.operatingMode = operatingMode_;
    if (graphDirection_ >= 0) config.graphDirection = graphDirection_;
    if (graphMode_ >= 0) config.graphDrawMode = graphMode_;
    if (temperatureUnit_ >= 0) config.temperatureUnit = temperatureUnit_;
    config.storagePeriodDays = days;
    if (commPort_ >= 0) config.commPort = commPort_;
    for (int octet = 0; octet < kOctetCount; ++octet) {
        config.ipAddress[octet] = std::clamp(integerFromText(octets_[octet]), 0, kHighestOctet);
    }
    writeControls();
    commitSettingsEdit();
    return 0;
}

void BasicSettingDialog::onOk() {
    if (Apply() == 0) endDialog(IDOK);
}

}  // namespace kvt
