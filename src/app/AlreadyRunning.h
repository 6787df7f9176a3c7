#pragma once
#include "platform/InstanceLock.h"

namespace kvt {

// What a second start says when `holder` has the data folder. A start with
// a window first asks a running window to come to the front, then shows
// "Already it is triggered!"; when a recorder without a window holds the
// folder it says so instead, in a box and in one line on standard error.
// A start without a window (`windowless`) says who holds it in one line on
// standard error only.
void tellAlreadyRunning(const LockHolder& holder, bool windowless);

// The box of a start with a window while a recorder without one runs.
constexpr const char* kHeadlessHolderEnglish =
    "A recorder without a window (kvt936p --headless) is running on this data folder.\n"
    "Stop it first (systemctl --user stop kvt936p) to record with the window.";
constexpr const char* kHeadlessHolderJapanese =
    "ウィンドウのないレコーダー (kvt936p --headless) がこのデータフォルダーで動作しています。\n"
    "ウィンドウで記録するには、先に停止してください (systemctl --user stop kvt936p)。";

}  // namespace kvt
