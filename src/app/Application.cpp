#include "app/Application.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "app/AlreadyRunning.h"
#include "app/CommandLine.h"
#include "app/RunJournal.h"
#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "core/RunFlags.h"
#include "display/MainWindow.h"
#include "display/ProgramIcon.h"
#include "display/SettingsTakeover.h"
#include "display/WindowCommandActions.h"
#include "headless/HeadlessRecorder.h"
#include "headless/SilentMessageBoxes.h"
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
#include "platform/WindowCommands.h"
#include "status/StatusClient.h"
#include "status/StatusServer.h"

namespace kvt {
namespace {

constexpr int kInstanceWaitMs = 100;

// Sockets need no set-up here; a peer that goes away must only fail the
// send, not end the process.
void initialiseSocketSupport() { std::signal(SIGPIPE, SIG_IGN); }

// A run ends through the window's exit command or a termination signal,
// which stop the workers and return from the run. The toolkit may instead
// end the process with exit() from inside its loop (when the X server goes
// away at logout): then the run ends here, before the process's objects
// are destroyed under threads still running.
std::atomic<bool> recorderRunning{false};

void endRunAtExit() {
    if (!recorderRunning.exchange(false)) return;
    stopWorkerThreads();
    stopStatusServer();
    endRunJournal(1);
}

// Start-up, the run of the window or of the headless recorder, shutdown:
// one composition for both.
int runRecorder(bool windowless, const std::function<void()>& run) {
    static InstanceLock instanceLock;  // owned until the process ends
    int code = takeInstanceLock(instanceLock, windowless);
    if (code != kExitNormal) return code;
    beginRunJournal();
    prepareStart(windowless);
    catchTerminationSignals();
    std::atexit(endRunAtExit);
    recorderRunning = true;
    startStatusServer(windowless);
    run();
    recorderRunning = false;
    stopStatusServer();
    endRunJournal(code);
    return code;
}

// What the window does with a command a worker posted, minus the drawing.
void takeHeadlessCommand(int command) {
    if (command == kCommandRefresh) {
        takeOverStorageCleanup();
    } else {
        reportWorkerFailure(command);
    }
}

int runHeadless() {
    SilentMessageBoxes messages;
    installMessageBoxProvider(&messages);
    int code = runRecorder(true, [] {
        runHeadlessRecorder({startWorkerThreads, stopWorkerThreads, takeHeadlessCommand});
    });
    installMessageBoxProvider(nullptr);
    return code;
}

int runWithWindow(int argc, char** argv, const CommandLine& commandLine) {
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
    QtMessageBoxProvider messages("KVT936PUS", languageFlag == 0);
    QtDialogHost dialogs;
    QtColourPicker colours;
    QtWaitCursorProvider waitCursor;
    installMessageBoxProvider(&messages);
    installDialogHost(&dialogs);
    installColourPicker(&colours);
    installWaitCursorProvider(&waitCursor);
    int code = runRecorder(false, [&] {
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        window.show();
        if (commandLine.startMeasuring) QTimer::singleShot(0, &window, [&] { window.pressStart(); });
        application->exec();
    });
    installWaitCursorProvider(nullptr);
    installColourPicker(nullptr);
    installDialogHost(nullptr);
    installMessageBoxProvider(nullptr);
    return code;
}

}  // namespace

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv) {
    auto application = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return application;
}

int takeInstanceLock(InstanceLock& lock, bool windowless) {
    InstanceLock::Outcome outcome =
        lock.acquire(kInstanceWaitMs, LockHolder::thisProcess(windowless));
    if (outcome == InstanceLock::Outcome::HeldElsewhere) {
        tellAlreadyRunning(lock.holder(), windowless);
        return kExitAlreadyRunning;
    }
    if (outcome == InstanceLock::Outcome::Unavailable) {
        // A recorder that may have to start unattended must not refuse to
        // record over its lock file; it runs, only without the guard.
        std::fprintf(stderr, "kvt936p: no single-instance lock at %s (%s); running without it\n",
                     InstanceLock::lockFilePath(), std::strerror(lock.unavailableReason()));
    }
    return kExitNormal;
}

void prepareStart(bool windowless) {
    initialiseSocketSupport();
    if (!windowless) createDisplayFonts();
    prepareRuntime();
}

int startUp(InstanceLock& lock, bool windowless) {
    languageFlag = languageFromLocale();
    int code = takeInstanceLock(lock, windowless);
    if (code == kExitNormal) prepareStart(windowless);
    return code;
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
    // Every text from here on, the message of a second start included.
    languageFlag = languageFromLocale();
    if (commandLine.headless) return runHeadless();
    return runWithWindow(argc, argv, commandLine);
}

}  // namespace kvt
