#include "display/WindowCommandActions.h"

#include <cstdio>

#include "core/RunFlags.h"
#include "platform/MessageBox.h"

namespace kvt {
namespace {

const char* pick(const char* english, const char* japanese) {
    return languageFlag != 0 ? english : japanese;
}

}  // namespace

bool confirmExit() {
    if (load(acquisitionRequested) == 0 && load(acquisitionActive) == 0) return true;
    const char* question =
        pick("Are you sure you want to exit program?", "終了してよろしいですか？");
    return messageBox(question, kButtonsOkCancel) == IDOK;
}

void askToStop() {
    const char* question = pick("Are you sure you want to stop?", "停止してよろしいですか？");
    if (messageBox(question, kButtonsOkCancel) == IDOK) store(acquisitionRequested, 0);
}

void reportSocketConnectError() {
    messageBox(pick("Socket connect error!", "ソケットコネクトエラー"));
    store(startFailed, 0);
}

void reportNodeError() {
    char text[64];
    std::snprintf(text, sizeof text, "%s [%d]", pick("Node error", "ノードエラー"), load(failedNode));
    messageBox(text);
    store(startFailed, 0);
}

void openSettingsMenu() {}
void openDateTimeDialog() {}
void openAlarmHistory() {}

}  // namespace kvt
