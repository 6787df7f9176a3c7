#include "settings/DateTimeDialog.h"

#include <cstdio>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "platform/SystemTime.h"
#include "recording/PlaybackPanes.h"
#include "settings/EditFilters.h"

namespace kvt {
namespace {

enum : int {
    kApplyRowOne = 1000,
    kRowOneLabel = 1005,
    kRowTwoLabel = 1009,
    kFirstEdit = 1016,  // 1016-1021 row 1, 1022-1027 row 2
    kApplyRowTwo = 1031,
};

constexpr int kFieldsPerRow = 6;
constexpr int kEditCount = 2 * kFieldsPerRow;
constexpr int kFieldDigits = 2;
constexpr int kCenturyStart = 2000;  // a typed year yy is 2000 + yy

// What each field of a row accepts, year to second, and the message that
// refuses anything else.
struct FieldRule {
    int lowest;
    int highest;
    const char* english;
    const char* japanese;
};

constexpr FieldRule kFieldRules[] = {
    {0, 99, "Year are available to use from 2000 to 2099.", "年は、0-99を入力して下さい。"},
    {1, 12, "Month are available to use from 1 to 12.", "月は、1-12を入力して下さい。"},
    {1, 31, "Day are available to use from 1 to 31.", "日は、1-31を入力して下さい。"},
    {0, 23, "Hour are available to use from 0 to 23.", "時は、0-23を入力して下さい。"},
    {0, 59, "Minute are available to use from 0 to 59.", "分は、0-59を入力して下さい。"},
    {0, 59, "Second are available to use from 0 to 59.", "秒は、0-59を入力して下さい。"},
};

// The row labels of the divided view name the panes by where they lie.
struct RowLabels {
    const char* firstEnglish;
    const char* firstJapanese;
    const char* secondEnglish;
    const char* secondJapanese;
};

constexpr RowLabels kPerpendicularLabels{"Upper side", "上側", "Lower side", "下側"};
constexpr RowLabels kLeftwardLabels{"Right side", "右側", "Left side", "左側"};
constexpr RowLabels kRightwardLabels{"Left side", "左側", "Right side", "右側"};

const RowLabels& rowLabelsFor(int graphDirection) {
    if (graphDirection == 1) return kLeftwardLabels;
    if (graphDirection == 2) return kRightwardLabels;
    return kPerpendicularLabels;
}

int editId(int n) { return kFirstEdit + n - 1; }

// Edit n of a row's field (field 0 = year).
int fieldIndex(int row, int field) { return (row - 1) * kFieldsPerRow + field; }

}  // namespace

const DialogTemplate& DateTimeDialog::layout() {
    static const DialogTemplate dialogTemplate{
        139,
        "日時指定",
        259,
        70,
        {
            {1125, ControlKind::Label, {45, 5, 25, 10}, "年", kCentred},
            {1126, ControlKind::Label, {70, 5, 25, 10}, "月", kCentred},
            {1127, ControlKind::Label, {95, 5, 25, 10}, "日", kCentred},
            {1128, ControlKind::Label, {130, 5, 25, 10}, "時", kCentred},
            {1129, ControlKind::Label, {155, 5, 25, 10}, "分", kCentred},
            {1130, ControlKind::Label, {180, 5, 25, 10}, "秒", kCentred},
            {kRowOneLabel, ControlKind::Label, {0, 15, 50, 10}, "日時", kCentred},
            {1016, ControlKind::Edit, {50, 15, 15, 10}, "", kCentred},
            {1017, ControlKind::Edit, {75, 15, 15, 10}, "", kCentred},
            {1018, ControlKind::Edit, {100, 15, 15, 10}, "", kCentred},
            {1019, ControlKind::Edit, {135, 15, 15, 10}, "", kCentred},
            {1020, ControlKind::Edit, {160, 15, 15, 10}, "", kCentred},
            {1021, ControlKind::Edit, {185, 15, 15, 10}, "", kCentred},
            {kApplyRowOne, ControlKind::PushButton, {205, 10, 50, 15}, "適用"},
            {kRowTwoLabel, ControlKind::Label, {0, 30, 50, 10}, "日時", kCentred},
            {1022, ControlKind::Edit, {50, 30, 15, 10}, "", kCentred},
            {1023, ControlKind::Edit, {75, 30, 15, 10}, "", kCentred},
            {1024, ControlKind::Edit, {100, 30, 15, 10}, "", kCentred},
            {1025, ControlKind::Edit, {135, 30, 15, 10}, "", kCentred},
            {1026, ControlKind::Edit, {160, 30, 15, 10}, "", kCentred},
            {1027, ControlKind::Edit, {185, 30, 15, 10}, "", kCentred},
            {kApplyRowTwo, ControlKind::PushButton, {205, 30, 50, 15}, "適用"},
            {IDOK, ControlKind::DefaultButton, {205, 50, 50, 15}, "閉じる"},
        },
        "Date time",
        {
            {1125, "Year"},
            {1126, "Mon."},
            {1127, "Day"},
            {1128, "Hour"},
            {1129, "Min."},
            {1130, "Sec."},
            {kRowOneLabel, "Date time"},
            {kApplyRowOne, "Apply"},
            {kRowTwoLabel, "Date time"},
            {kApplyRowTwo, "Apply"},
            {IDOK, "Close"},
        },
    };
    return dialogTemplate;
}

DateTimeDialog::DateTimeDialog(int group, bool dividedView)
    : Dialog(layout()), group_(group), divided_(dividedView) {}

bool DateTimeDialog::onInitDialog() {
    readControls();
    if (languageFlag == 1) applyEnglishCaptions();
    showReferenceTime(1);
    if (divided_) {
        showReferenceTime(2);
        setRowLabels();
    }
    show(kRowTwoLabel, divided_);
    for (int n = kFieldsPerRow + 1; n <= kEditCount; ++n) show(editId(n), divided_);
    show(kApplyRowTwo, divided_);
    writeControls();
    return true;
}

void DateTimeDialog::readControls() {
    for (int n = 1; n <= kEditCount; ++n) fields_[n - 1] = text(editId(n));
}

void DateTimeDialog::writeControls() {
    for (int n = 1; n <= kEditCount; ++n) setText(editId(n), fields_[n - 1]);
}

int64_t DateTimeDialog::referenceTimeOfPane(int pane) const {
    if (group_ < 0 || group_ >= kGroupCount) return 0;
    return playbackPanes[pane - 1].referenceTime[group_];
}

// The pane's reference time in local time: the year as two digits, the
// rest without leading zeros.
void DateTimeDialog::showReferenceTime(int row) {
    SystemTime local = localTimeOf(referenceTimeOfPane(row), 0);
    const int values[kFieldsPerRow] = {local.year - kCenturyStart, local.month, local.day,
                                       local.hour, local.minute, local.second};
    for (int field = 0; field < kFieldsPerRow; ++field) {
        char digits[16];
        std::snprintf(digits, sizeof digits, field == 0 ? "%02d" : "%d", values[field]);
        fields_[fieldIndex(row, field)] = digits;
    }
}

void DateTimeDialog::setRowLabels() {
    const RowLabels& labels = rowLabelsFor(liveConfiguration.graphDirection);
    setText(kRowOneLabel, byLanguage(labels.firstEnglish, labels.firstJapanese));
    setText(kRowTwoLabel, byLanguage(labels.secondEnglish, labels.secondJapanese));
}

void DateTimeDialog::onCommand(int id) {
    if (id == kApplyRowOne) {
        applyRow(1);
    } else if (id == kApplyRowTwo) {
        applyRow(2);
    }
    Dialog::onCommand(id);
}

void DateTimeDialog::onTextChanged(int id) {
    if (id >= editId(1) && id <= editId(kEditCount)) FilterDateEdit(id - kFirstEdit + 1);
}

void DateTimeDialog::FilterDateEdit(int n) {
    if (n < 1 || n > kEditCount) return;
    readControls();
    fields_[n - 1] = keepDecimalDigits(fields_[n - 1], kFieldDigits);
    setText(editId(n), fields_[n - 1]);
}

int DateTimeDialog::ValidateRow(int row) {
    readControls();
    for (int field = 0; field < kFieldsPerRow; ++field) {
        const FieldRule& rule = kFieldRules[field];
        int value = integerFromText(fields_[fieldIndex(row, field)]);
        if (value < rule.lowest || value > rule.highest) {
            bilingualMessageBox(rule.english, rule.japanese);
            writeControls();
            return 1;
        }
    }
    writeControls();
    return 0;
}

// The typed local date and time in seconds since the epoch; days past the
// month's end run on into the next month, daylight saving is the
// system's. False when the system cannot convert it.
bool DateTimeDialog::typedTime(int row, int64_t& seconds) const {
    int values[kFieldsPerRow];
    for (int field = 0; field < kFieldsPerRow; ++field) {
        values[field] = integerFromText(fields_[fieldIndex(row, field)]);
    }
    CalendarDate date{kCenturyStart + values[0], values[1], values[2]};
    seconds = epochSecondsOfLocal(date, values[3], values[4], values[5]);
    return seconds != -1;
}

// A time equal to where the pane stands asks for nothing; another one is
// handed to the main window (a second Apply before it redraws replaces it).
void DateTimeDialog::applyRow(int row) {
    if (ValidateRow(row) != 0) return;
    readControls();
    int64_t requested = 0;
    if (typedTime(row, requested) && requested != referenceTimeOfPane(row)) {
        paneTimeRequests[row - 1] = PaneTimeRequest{requested, 1};
    }
    writeControls();
}

}  // namespace kvt
