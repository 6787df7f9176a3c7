#include "recording/AlarmHistoryDialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "recording/AlarmHistoryFile.h"
#include "settings/EditFilters.h"

namespace kvt {
namespace {

enum : int {
    kHistoryList = 1092,
    kSearchBox = 1005,
    kBeforeLabel = 1124,
    kYearEdit = 1016,
    kYearLabel = 1026,
    kMonthEdit = 1017,
    kMonthLabel = 1029,
    kDayEdit = 1018,
    kDayLabel = 1123,
    kReloadButton = 1000,
    kClearButton = 1031,
};

constexpr size_t kMostLines = 1000;
constexpr int kGroupCheckBoxIds[kTrendGroupCount] = {1030, 1032, 1033, 1034, 1035,
                                                     1036, 1037, 1038, 1039, 1040};

}  // namespace

const DialogTemplate& AlarmHistoryDialog::layout() {
    static const DialogTemplate dialogTemplate{
        135,
        "ｱﾗｰﾑ履歴",
        279,
        240,
        {
            {kHistoryList, ControlKind::ListBox, {5, 5, 160, 230}, "", kNoSelection},
            {kSearchBox, ControlKind::GroupBox, {170, 5, 105, 140}, "絞込み条件"},
            {1030, ControlKind::CheckBox, {175, 20, 42, 8}, "ｸﾞﾙｰﾌﾟ 1"},
            {1032, ControlKind::CheckBox, {175, 35, 42, 8}, "ｸﾞﾙｰﾌﾟ 2"},
            {1033, ControlKind::CheckBox, {175, 50, 42, 8}, "ｸﾞﾙｰﾌﾟ 3"},
            {1034, ControlKind::CheckBox, {175, 65, 42, 8}, "ｸﾞﾙｰﾌﾟ 4"},
            {1035, ControlKind::CheckBox, {175, 80, 42, 8}, "ｸﾞﾙｰﾌﾟ 5"},
            {1036, ControlKind::CheckBox, {225, 20, 42, 8}, "ｸﾞﾙｰﾌﾟ 6"},
            {1037, ControlKind::CheckBox, {225, 35, 42, 8}, "ｸﾞﾙｰﾌﾟ 7"},
            {1038, ControlKind::CheckBox, {225, 51, 42, 8}, "ｸﾞﾙｰﾌﾟ 8"},
            {1039, ControlKind::CheckBox, {225, 65, 42, 8}, "ｸﾞﾙｰﾌﾟ 9"},
            {1040, ControlKind::CheckBox, {225, 81, 42, 8}, "ｸﾞﾙｰﾌﾟ 10"},
            {kBeforeLabel, ControlKind::Label, {175, 90, 40, 10}, ""},
            {kYearEdit, ControlKind::Edit, {175, 100, 20, 10}, ""},
            {kYearLabel, ControlKind::Label, {200, 100, 25, 10}, "年"},
            {kMonthEdit, ControlKind::Edit, {180, 115, 15, 10}, ""},
            {kMonthLabel, ControlKind::Label, {200, 115, 25, 10}, "月"},
            {kDayEdit, ControlKind::Edit, {180, 130, 15, 10}, ""},
            {kDayLabel, ControlKind::Label, {200, 130, 70, 10}, "日以前"},
            {kReloadButton, ControlKind::PushButton, {225, 150, 50, 15}, "再読込"},
            {kClearButton, ControlKind::PushButton, {225, 170, 50, 15}, "履歴ｸﾘｱ"},
            {IDOK, ControlKind::DefaultButton, {225, 220, 50, 15}, "閉じる"},
        },
        "Alarm History",
        {
            {kSearchBox, "Search condition"},
            {1030, "Group 1"},
            {1032, "Group 2"},
            {1033, "Group 3"},
            {1034, "Group 4"},
            {1035, "Group 5"},
            {1036, "Group 6"},
            {1037, "Group 7"},
            {1038, "Group 8"},
            {1039, "Group 9"},
            {1040, "Group 10"},
            {kBeforeLabel, "Before"},
            {kYearLabel, "Year"},
            {kMonthLabel, "Month"},
            {kDayLabel, "Day"},
            {kReloadButton, "Reload"},
            {kClearButton, "Clear"},
            {IDOK, "Close"},
        },
    };
    return dialogTemplate;
}

AlarmHistoryDialog::AlarmHistoryDialog() : Dialog(layout()) {}

int AlarmHistoryDialog::groupCheckBoxId(int group) { return kGroupCheckBoxIds[group - 1]; }

bool AlarmHistoryDialog::onInitDialog() {
    for (int id : kGroupCheckBoxIds) setChecked(id, 1);
    SystemTime today = validatedLocalTime();
    char text[8];
    std::snprintf(text, sizeof text, "%04d", today.year);
    setText(kYearEdit, text);
    setText(kMonthEdit, std::to_string(today.month));
    setText(kDayEdit, std::to_string(today.day));
    if (languageFlag == 1) {
        applyEnglishCaptions();
    } else {
        setText(kBeforeLabel, "");
    }
    Reload();
    return true;
}

// Changes to the ticks and the date take effect here, not as they are made.
void AlarmHistoryDialog::Reload() {
    AlarmHistoryFilter filter;
    for (int group = 1; group <= kTrendGroupCount; ++group) {
        filter.groupShown[group] = checked(groupCheckBoxId(group)) != 0;
    }
    std::snprintf(filter.lastDate, sizeof filter.lastDate, "%04d/%02d/%02d",
                  integerFromText(text(kYearEdit)), integerFromText(text(kMonthEdit)),
                  integerFromText(text(kDayEdit)));
    clearItems(kHistoryList);
    for (const std::string& line : readAlarmHistory(alarmHistoryPath(), filter, kMostLines)) {
        addItem(kHistoryList, line);
    }
}

void AlarmHistoryDialog::Clear() {
    if (bilingualMessageBox("Are you sure you want to clear alarm historyes?",
                            "ｱﾗｰﾑ履歴を、ｸﾘｱしてよろしいですか？", kButtonsOkCancel) != IDOK) {
        return;
    }
    makeDataFolder();
    clearAlarmHistory(alarmHistoryPath());
    Reload();
}

void AlarmHistoryDialog::onCommand(int id) {
    if (id == kReloadButton) {
        Reload();
    } else if (id == kClearButton) {
        Clear();
    }
    Dialog::onCommand(id);
}

void AlarmHistoryDialog::onTextChanged(int id) {
    if (id == kYearEdit) {
        setText(id, keepDecimalDigits(text(id), 4));
    } else if (id == kMonthEdit || id == kDayEdit) {
        setText(id, keepDecimalDigits(text(id), 2));
    }
}

}  // namespace kvt
