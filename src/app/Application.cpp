#include "app/Application.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/CommandLine.h"
#include "app/RunJournal.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/RunFlags.h"
#include "display/MainWindow.h"
#include "display/ProgramIcon.h"
#include "platform/DisplayCheck.h"
#include "platform/Fonts.h"
#include "platform/InstanceLock.h"
#include "platform/Language.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/QtColourPicker.h"
#include "platform/QtDialogHost.h"
#include "platform/QtMessageBox.h"
#include "platform/QtWaitCursor.h"
#include "platform/TerminationSignals.h"
#include "status/StatusClient.h"
#include "status/StatusServer.h"

namespace kvt {
namespace {

constexpr int kInstanceWaitMs = 100;

// Sockets need no set-up here; a peer that goes away must only fail the
// send, not end the process.
void initialiseSocketSupport() { std::signal(SIGPIPE, SIG_IGN); }

// The window's run ends through its exit command or a termination signal,
// which stop the workers and return from the event loop. The toolkit may
// instead end the process with exit() from inside the loop (when the X
// server goes away at logout): then the run ends here, before the
// process's objects are destroyed under threads still running.
std::atomic<bool> windowRunning{false};

void endWindowRunAtExit() {
    if (!windowRunning.exchange(false)) return;
    stopWorkerThreads();
    stopStatusServer();
    endRunJournal(1);
}

}  // namespace

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv) {
    auto application = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return application;
}

int startUp(InstanceLock& lock) {
    InstanceLock::Outcome outcome = lock.acquire(kInstanceWaitMs);
    if (outcome == InstanceLock::Outcome::HeldElsewhere) {
        messageBox("Already it is triggered!", kButtonsOk);
        return kExitAlreadyRunning;
    }
    if (outcome == InstanceLock::Outcome::Unavailable) {
        // A recorder that may have to start unattended must not refuse to
        // record over its lock file; it runs, only without the guard.
        std::fprintf(stderr, "kvt936p: no single-instance lock at %s (%s); running without it\n",
                     InstanceLock::lockFilePath(), std::strerror(lock.unavailableReason()));
    }
    initialiseSocketSupport();
    languageFlag = languageFromLocale();
    createDisplayFonts();
    prepareRuntime();
    return kExitNormal;
}

int runApplication(int argc, char** argv) {
    CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.request == CommandLineRequest::Status) {
        return printRecorderStatus(commandLine.json);
    }
    if (commandLine.request != CommandLineRequest::Run) return answerCommandLine(commandLine);
    if (const char* problem = homeFolderProblem()) {
        std::fprintf(stderr, "kvt936p: %s; the data folder belongs in a home folder of the "
                     "account's own\n", problem);
        return kExitNoHome;
    }
    // Ties the window to the installed desktop entry kvt936p.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("kvt936p"));
    std::string displayMissing = displayProblem(commandLine.platform, commandLine.display);
    if (!displayMissing.empty()) {
        std::fprintf(stderr, "%s\n", displayMissing.c_str());
        return kExitNoDisplay;
    }
    std::unique_ptr<QApplication> application = makeApplication(argc, argv);
    application->setQuitOnLastWindowClosed(false);
    application->setWindowIcon(programIcon());
    QtMessageBoxProvider messages("KVT936PUS", false);
    QtDialogHost dialogs;
    QtColourPicker colours;
    QtWaitCursorProvider waitCursor;
    installMessageBoxProvider(&messages);
    installDialogHost(&dialogs);
    installColourPicker(&colours);
    installWaitCursorProvider(&waitCursor);
    beginRunJournal();

    static InstanceLock instanceLock;  // owned until the process ends
    int code = startUp(instanceLock);
    if (code == kExitNormal) {
        messages.setJapanese(languageFlag == 0);
        catchTerminationSignals();
        std::atexit(endWindowRunAtExit);
        windowRunning = true;
        startStatusServer(false);
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        window.show();
        if (commandLine.startMeasuring) QTimer::singleShot(0, &window, [&] { window.pressStart(); });
        application->exec();
        windowRunning = false;
        stopStatusServer();
    }
    endRunJournal(code);
    installWaitCursorProvider(nullptr);
    installColourPicker(nullptr);
    installDialogHost(nullptr);
    installMessageBoxProvider(nullptr);
    return code;
}

}  // namespace kvt
