#include "app/RunJournal.h"

#include "journal/Journal.h"
#include "journal/JournalPosts.h"
#include "platform/MessageBox.h"
#include "publish/Publisher.h"

namespace kvt {

void beginRunJournal() {
    startJournal();
    journalProgramStarted();
    installMessageBoxObserver(journalMessageShown);
    setPublisherReportSink(journalPublisherReport);
}

void endRunJournal(int exitCode) {
    installMessageBoxObserver(nullptr);
    setPublisherReportSink(nullptr);
    journalProgramEnded(exitCode);
    stopJournal();
}

}  // namespace kvt
