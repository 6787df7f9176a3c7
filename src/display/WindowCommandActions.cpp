#include "display/WindowCommandActions.h"

#include <cstdio>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "core/RunFlags.h"
#include "core/WorkerWakeups.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "platform/MessageBox.h"
#include "platform/WindowCommands.h"
#include "recording/AlarmHistoryDialog.h"
#include "settings/DateTimeDialog.h"
#include "settings/SettingMenuDialog.h"

namespace kvt {

bool confirmExit() {
    if (load(acquisitionRequested) == 0 && load(acquisitionActive) == 0) return true;
    const char* question =
        byLanguage("Are you sure you want to exit program?", "終了してよろしいですか？");
    return messageBox(question, kButtonsOkCancel) == IDOK;
}

void askToStop() {
    const char* question = byLanguage("Are you sure you want to stop?", "停止してよろしいですか？");
    if (messageBox(question, kButtonsOkCancel) != IDOK) return;
    store(acquisitionRequested, 0);
    acquisitionWake.signal();
}

void reportSocketConnectError() {
    messageBox(byLanguage("Socket connect error!", "ソケットコネクトエラー"));
    store(startFailed, 0);
}

void reportNodeError() {
    char text[64];
    std::snprintf(text, sizeof text, "%s [%d]", byLanguage("Node error", "ノードエラー"), load(failedNode));
    messageBox(text);
    store(startFailed, 0);
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
