#include "settings/NodeSettingDialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/DeviceTables.h"
#include "core/LanguageText.h"
#include "settings/AnalogTypeRules.h"
#include "settings/SettingsCommit.h"

namespace kvt {
namespace {

enum : int {
    kNormalSectionBox = 1009,
    kHighSpeedBox = 1005,
    kHighSpeedNumberLabel = 1026,
    kHighSpeedNumberEdit = 1016,
    kHighSpeedTypeLabel = 1029,
    kHighSpeedTypeList = 1028,
};

constexpr int kHeadingIds[] = {1027, 1031, 1062, 1072};
constexpr int kHeadingX[] = {10, 85, 160, 235};

// Node n (1-31) is the n-th entry of each table.
constexpr int kCheckBoxIds[kNodeCount] = {
    1030, 1032, 1033, 1034, 1035, 1036, 1037, 1038,  // 1 to 8
    1039, 1040, 1041, 1042, 1043, 1044, 1045, 1061,  // 9 to 10 (hexadecimal)
    1063, 1064, 1065, 1066, 1067, 1068, 1069, 1070,  // 11 to 18
    1071, 1073, 1074, 1075, 1076, 1077, 1078,        // 19 to 1F
};
constexpr int kListIds[kNodeCount] = {
    1046, 1047, 1048, 1049, 1050, 1051, 1052, 1053,
    1054, 1055, 1056, 1057, 1058, 1059, 1060, 1079,
    1080, 1081, 1082, 1083, 1084, 1085, 1086, 1087,
    1088, 1089, 1090, 1091, 1092, 1093, 1094,
};
constexpr const char* kNodeCaptions[kNodeCount] = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "A",  "B",
    "C",  "D",  "E",  "F",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "1A", "1B", "1C", "1D", "1E", "1F",
};
constexpr int kColumnCheckX[] = {10, 85, 160, 235};
constexpr int kColumnListX[] = {35, 110, 186, 260};
constexpr int kColumnRowY[4][8] = {
    {20, 34, 50, 64, 80, 94, 110, 124},
    {20, 34, 50, 64, 80, 94, 110, 125},
    {20, 35, 50, 65, 80, 95, 110, 125},
    {20, 35, 50, 65, 80, 95, 110, 0},
};

// The order in which the device types stand in the lists, and back. The
// lists offer only the first entry, MOD-15.
constexpr int kListIndexToType[kDeviceTypeCount] = {14, 0, 1, 2, 3, 8, 9, 10, 4, 5, 12, 6, 7, 11, 13};
constexpr int kTypeToListIndex[kDeviceTypeCount] = {0, 1, 2, 3, 7, 8, 10, 11, 4, 5, 6, 12, 9, 13, 0};
constexpr int kHighSpeedListIndexToType[] = {14, 0, 8, 4, 5};
constexpr int kTypeToHighSpeedListIndex[kDeviceTypeCount] = {0, 0, 0, 0, 2, 3, 0, 0,
                                                             1, 0, 0, 0, 0, 0, 0};
constexpr const char* kOfferedDevice = "MOD-15";

std::string hexText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

std::vector<ControlTemplate> controlTemplates() {
    std::vector<ControlTemplate> controls;
    controls.push_back({kNormalSectionBox, ControlKind::GroupBox, {5, 0, 305, 140}, "中速設定"});
    for (int column = 0; column < 4; ++column) {
        controls.push_back({kHeadingIds[column], ControlKind::Label, {kHeadingX[column], 5, 70, 8},
                            "No.\u3000有効\u3000種別"});
    }
    for (int node = 1; node <= kNodeCount; ++node) {
        int column = (node - 1) / 8;
        int row = (node - 1) % 8;
        int y = kColumnRowY[column][row];
        controls.push_back({kCheckBoxIds[node - 1], ControlKind::CheckBox,
                            {kColumnCheckX[column], y, 20, 10}, kNodeCaptions[node - 1], kTextLeft});
        controls.push_back({kListIds[node - 1], ControlKind::ComboBox,
                            {kColumnListX[column], y, 45, 60}, ""});
    }
    controls.push_back({kHighSpeedBox, ControlKind::GroupBox, {5, 0, 305, 140}, "高速設定"});
    controls.push_back({kHighSpeedNumberLabel, ControlKind::Label, {10, 20, 40, 10}, "No."});
    controls.push_back({kHighSpeedNumberEdit, ControlKind::Edit, {55, 20, 20, 10}, "", kCentred});
    controls.push_back({kHighSpeedTypeLabel, ControlKind::Label, {10, 35, 40, 10}, "ﾉｰﾄﾞ種別"});
    controls.push_back({kHighSpeedTypeList, ControlKind::ComboBox, {55, 35, 45, 60}, ""});
    controls.push_back({IDOK, ControlKind::DefaultButton, {5, 145, 50, 15}, "OK"});
    controls.push_back({IDCANCEL, ControlKind::PushButton, {260, 145, 50, 16}, "ｷｬﾝｾﾙ"});
    return controls;
}

// A list shows the entry at `index` when it has one, else no entry.
int shownIndex(int index, int itemCount) { return index >= 0 && index < itemCount ? index : -1; }

}  // namespace

const DialogTemplate& NodeSettingDialog::layout() {
    static const DialogTemplate dialogTemplate{
        131,
        "ﾉｰﾄﾞ設定",
        315,
        165,
        controlTemplates(),
        "Node setting",
        {
            {kHeadingIds[0], "No. Enable Device"},
            {kHeadingIds[1], "No. Enable Device"},
            {kHeadingIds[2], "No. Enable Device"},
            {kHeadingIds[3], "No. Enable Device"},
            {kHighSpeedBox, "High speed mode setting"},
            {kNormalSectionBox, "Normal mode setting"},
            {kHighSpeedNumberLabel, "Node number"},
            {kHighSpeedTypeLabel, "Device"},
            {IDCANCEL, "Cancel"},
        },
    };
    return dialogTemplate;
}

NodeSettingDialog::NodeSettingDialog() : Dialog(layout()) {
    for (int& index : listIndex_) index = -1;
}

int NodeSettingDialog::checkBoxIdOf(int node) { return kCheckBoxIds[node - 1]; }
int NodeSettingDialog::listIdOf(int node) { return kListIds[node - 1]; }

bool NodeSettingDialog::onInitDialog() {
    beginSettingsEdit();
    readControls();
    loadFromWorkingConfiguration();
    enableSections();
    if (languageFlag == 1) applyEnglishCaptions();
    fillDeviceLists();
    for (int id : {kHighSpeedBox, kNormalSectionBox, kHighSpeedNumberLabel, kHighSpeedTypeLabel,
                   kHighSpeedNumberEdit, kHighSpeedTypeList}) {
        show(id, false);
    }
    writeControls();
    return true;
}

// A device type outside the table shows as MOD-15, the one type offered.
void NodeSettingDialog::loadFromWorkingConfiguration() {
    const ConfigurationRecord& config = workingConfiguration;
    highSpeedNumber_ = hexText(config.highSpeedNode.number);
    int highSpeedType = config.highSpeedNode.type;
    bool knownType = highSpeedType >= 0 && highSpeedType < kDeviceTypeCount;
    highSpeedListIndex_ = knownType ? kTypeToHighSpeedListIndex[highSpeedType] : 0;
    for (int node = 0; node < kNodeCount; ++node) {
        enabled_[node] = config.nodeEnabled[node] == 1 ? 1 : 0;
        int type = config.nodeType[node];
        knownType = type >= 0 && type < kDeviceTypeCount;
        listIndex_[node] = knownType ? kTypeToListIndex[type] : 0;
    }
}

void NodeSettingDialog::enableSections() {
    bool running = measurementRunning();
    int mode = workingConfiguration.operatingMode;
    bool highSpeedUsable = !running && mode != kNormalMode;
    for (int id : {kHighSpeedBox, kHighSpeedNumberLabel, kHighSpeedTypeLabel, kHighSpeedNumberEdit,
                   kHighSpeedTypeList}) {
        enable(id, highSpeedUsable);
    }
    bool normalUsable = !running && mode != kHighSpeedMode;
    enable(kNormalSectionBox, normalUsable);
    for (int id : kHeadingIds) enable(id, normalUsable);
    for (int node = 0; node < kNodeCount; ++node) {
        enable(kCheckBoxIds[node], normalUsable);
        enable(kListIds[node], normalUsable);
    }
}

void NodeSettingDialog::fillDeviceLists() {
    for (int id : kListIds) {
        clearItems(id);
        addItem(id, kOfferedDevice);
    }
    clearItems(kHighSpeedTypeList);
    addItem(kHighSpeedTypeList, kOfferedDevice);
}

void NodeSettingDialog::readControls() {
    highSpeedNumber_ = text(kHighSpeedNumberEdit);
    highSpeedListIndex_ = selection(kHighSpeedTypeList);
    for (int node = 0; node < kNodeCount; ++node) {
        enabled_[node] = checked(kCheckBoxIds[node]);
        listIndex_[node] = selection(kListIds[node]);
    }
}

void NodeSettingDialog::writeControls() {
    setText(kHighSpeedNumberEdit, highSpeedNumber_);
    setSelection(kHighSpeedTypeList,
                 shownIndex(highSpeedListIndex_, itemCount(kHighSpeedTypeList)));
    for (int node = 0; node < kNodeCount; ++node) {
        setChecked(kCheckBoxIds[node], enabled_[node]);
        setSelection(kListIds[node], shownIndex(listIndex_[node], itemCount(kListIds[node])));
    }
}

void NodeSettingDialog::onTextChanged(int id) {
    if (id == kHighSpeedNumberEdit) filterNodeNumber();
}

// One hexadecimal digit 1 to F, upper case: the first such character typed.
void NodeSettingDialog::filterNodeNumber() {
    std::string kept;
    for (char c : text(kHighSpeedNumberEdit)) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= '1' && c <= '9') || (c >= 'A' && c <= 'F')) {
            kept = c;
            break;
        }
    }
    setText(kHighSpeedNumberEdit, kept);
}

int NodeSettingDialog::Apply() {
    readControls();
    if (highSpeedNumber_.empty() || highSpeedNumber_.size() > 2) {
        bilingualMessageBox("Available to use from 1 to F.", "1-Fを入力して下さい。");
        writeControls();
        return 1;
    }
    storeIntoWorkingConfiguration();
    writeControls();
    if (measurementRunning()) return 0;
    alignPensWithNodes(workingConfiguration);
    commitSettingsEdit();
    return 0;
}

// A list without a selection (a stored device type the list does not
// offer) keeps the stored device type.
void NodeSettingDialog::storeIntoWorkingConfiguration() {
    ConfigurationRecord& config = workingConfiguration;
    char first = highSpeedNumber_[0];
    if (first >= '1' && first <= '9') config.highSpeedNode.number = first - '0';
    if (first >= 'A' && first <= 'F') config.highSpeedNode.number = first - 'A' + 10;
    if (highSpeedListIndex_ >= 0 && highSpeedListIndex_ < 5) {
        config.highSpeedNode.type = kHighSpeedListIndexToType[highSpeedListIndex_];
    }
    for (int node = 0; node < kNodeCount; ++node) {
        config.nodeEnabled[node] = enabled_[node] != 0 ? 1 : 0;
        int index = listIndex_[node];
        if (index >= 0 && index < kDeviceTypeCount) config.nodeType[node] = kListIndexToType[index];
    }
}

void NodeSettingDialog::onOk() {
    if (Apply() == 0) endDialog(IDOK);
}

}  // namespace kvt
