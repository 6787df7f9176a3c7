#include "app/RunJournal.h"

#include "journal/Journal.h"
#include "journal/JournalPosts.h"
#include "platform/MessageBox.h"

namespace kvt {

void beginRunJournal() {
    startJournal();
    journalProgramStarted();
    installMessageBoxObserver(journalMessageShown);
}

void endRunJournal(int exitCode) {
    installMessageBoxObserver(nullptr);
    journalProgramEnded(exitCode);
    stopJournal();
}

}  // namespace kvt
