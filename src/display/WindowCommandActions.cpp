#include "display/WindowCommandActions.h"

#include <cstdio>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "display/WriteFailureMessages.h"
#include "platform/MessageBox.h"
#include "platform/WindowCommands.h"
#include "recording/AlarmHistoryDialog.h"
#include "settings/DateTimeDialog.h"
#include "settings/SettingMenuDialog.h"

namespace kvt {

bool confirmExit() {
    if (load(acquisitionRequested) == 0 && load(acquisitionActive) == 0) return true;
    return bilingualMessageBox("Are you sure you want to exit program?", "終了してよろしいですか？",
                               kButtonsOkCancel) == IDOK;
}

void askToStop() {
    if (bilingualMessageBox("Are you sure you want to stop?", "停止してよろしいですか？",
                            kButtonsOkCancel) != IDOK) {
        return;
    }
    store(acquisitionRequested, 0);
    acquisitionWake.signal();
}

void reportSocketConnectError() {
    bilingualMessageBox("Socket connect error!", "ソケットコネクトエラー", kButtonsOk,
                        MessageSeverity::Error);
    store(startFailed, 0);
}

void reportNodeError() {
    char english[64];
    char japanese[64];
    std::snprintf(english, sizeof english, "Node error [%d]", load(failedNode));
    std::snprintf(japanese, sizeof japanese, "ノードエラー [%d]", load(failedNode));
    bilingualMessageBox(english, japanese, kButtonsOk, MessageSeverity::Error);
    store(startFailed, 0);
}

bool reportWorkerFailure(int command) {
    switch (command) {
    case kCommandSocketError:
        reportSocketConnectError();
        return true;
    case kCommandNodeError:
        reportNodeError();
        return true;
    case kCommandWriteFailed:
        reportWriteFailure();
        return true;
    case kCommandWritingResumed:
        reportWritingResumed();
        return true;
    default:
        return false;
    }
}

void openSettingsMenu() {
    SettingMenuDialog menu(currentGroup);
    menu.doModal();
}

void openDateTimeDialog() {
    if (!isPlaybackMode(displayMode)) return;
    DateTimeDialog dialog(shownGroup(), dividedView != 0);
    dialog.doModal();
}

void openAlarmHistory() {
    if (liveConfiguration.operatingMode == kHighSpeedMode) return;
    AlarmHistoryDialog viewer;
    viewer.doModal();
    postWindowCommand(kCommandRefresh);
}

}  // namespace kvt
