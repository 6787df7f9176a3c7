#include "app/AlreadyRunning.h"

#include <cstdio>

#include "core/LanguageText.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "status/StatusClient.h"

namespace kvt {
namespace {

// "kvt936p: already running: a recorder without a window (kvt936p
// --headless, process 4242) holds the data folder /home/..."
void sayWhoHolds(const LockHolder& holder) {
    char process[40] = "";
    if (holder.pid > 0) std::snprintf(process, sizeof process, ", process %ld", holder.pid);
    std::fprintf(stderr, "kvt936p: already running: %s%s) holds the data folder %s\n",
                 holder.windowless ? "a recorder without a window (kvt936p --headless"
                                   : "the recorder with its window (kvt936p",
                 process, dataFolder());
}

}  // namespace

void tellAlreadyRunning(const LockHolder& holder, bool windowless) {
    if (windowless || holder.windowless) sayWhoHolds(holder);
    if (windowless) return;
    if (holder.windowless) {
        bilingualMessageBox(kHeadlessHolderEnglish, kHeadlessHolderJapanese);
        return;
    }
    raiseRunningWindow();
    messageBox("Already it is triggered!", kButtonsOk);
}

}  // namespace kvt
