#include "app/Application.h"

#include <QApplication>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/CommandLine.h"
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
#include "platform/QtColourPicker.h"
#include "platform/QtDialogHost.h"
#include "platform/QtMessageBox.h"
#include "platform/QtWaitCursor.h"

namespace kvt {
namespace {

constexpr int kInstanceWaitMs = 100;

// Sockets need no set-up here; a peer that goes away must only fail the
// send, not end the process.
void initialiseSocketSupport() { std::signal(SIGPIPE, SIG_IGN); }

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
        std::fprintf(stderr, "kvt936p: no single-instance lock at %s; running without it\n",
                     InstanceLock::lockFilePath());
    }
    initialiseSocketSupport();
    languageFlag = languageFromLocale();
    createDisplayFonts();
    prepareRuntime();
    return kExitNormal;
}

int runApplication(int argc, char** argv) {
    CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.request != CommandLineRequest::Run) return answerCommandLine(commandLine);
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

    static InstanceLock instanceLock;  // owned until the process ends
    int code = startUp(instanceLock);
    if (code == kExitNormal) {
        messages.setJapanese(languageFlag == 0);
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        window.show();
        application->exec();
    }
    installWaitCursorProvider(nullptr);
    installColourPicker(nullptr);
    installDialogHost(nullptr);
    installMessageBoxProvider(nullptr);
    return code;
}

}  // namespace kvt
