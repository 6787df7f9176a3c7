#include "settings/SettingMenuDialog.h"

#include "core/RunFlags.h"
#include "recording/RecordingSettingDialog.h"
#include "settings/BasicSettingDialog.h"
#include "settings/NodeSettingDialog.h"
#include "settings/PenSettingDialog.h"
#include "settings/SettingsCommit.h"

namespace kvt {
namespace {

enum : int {
    kBasicButton = 1000,
    kNodeButton = 1031,
    kRecordingButton = 1032,
    kPenButton = 1043,
};

}  // namespace

const DialogTemplate& SettingMenuDialog::layout() {
    static const DialogTemplate dialogTemplate{
        129,
        "設定メニュー",
        95,
        105,
        {
            {kBasicButton, ControlKind::PushButton, {5, 5, 85, 15}, "基本設定項目"},
            {kNodeButton, ControlKind::PushButton, {5, 25, 85, 15}, "ﾉｰﾄﾞ設定"},
            {kRecordingButton, ControlKind::PushButton, {5, 45, 85, 15}, "収録設定"},
            {kPenButton, ControlKind::PushButton, {5, 65, 85, 15}, "ﾍﾟﾝ設定"},
            {IDOK, ControlKind::DefaultButton, {5, 85, 85, 15}, "閉じる"},
        },
        "Setting menu",
        {
            {kBasicButton, "Basic setting"},
            {kNodeButton, "Node setting"},
            {kRecordingButton, "Store setting"},
            {kPenButton, "Pen setting"},
            {IDOK, "Close"},
        },
    };
    return dialogTemplate;
}

SettingMenuDialog::SettingMenuDialog(int group) : Dialog(layout()), group_(group) {}

bool SettingMenuDialog::onInitDialog() {
    if (languageFlag == 1) applyEnglishCaptions();
    return true;
}

void SettingMenuDialog::onCommand(int id) {
    if (id == kBasicButton || id == kNodeButton || id == kRecordingButton || id == kPenButton) {
        if (!settingsChangePending()) runSettingsDialog(id);
        return;
    }
    Dialog::onCommand(id);
}

// Whatever the dialog's result, the menu stays as it is: taking the
// changes over is the main window's business.
void SettingMenuDialog::runSettingsDialog(int id) {
    switch (id) {
    case kBasicButton: {
        BasicSettingDialog dialog;
        dialog.doModal();
        break;
    }
    case kNodeButton: {
        NodeSettingDialog dialog;
        dialog.doModal();
        break;
    }
    case kRecordingButton: {
        RecordingSettingDialog dialog(group_);
        dialog.doModal();
        break;
    }
    default: {
        PenSettingDialog dialog(group_);
        dialog.doModal();
        break;
    }
    }
}

}  // namespace kvt
