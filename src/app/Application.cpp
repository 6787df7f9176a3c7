#include "app/Application.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

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

int startUp(InstanceLock& lock) {
    if (!lock.acquire(kInstanceWaitMs)) {
        messageBox("Already it is triggered!", kButtonsOk);
        return kExitAlreadyRunning;
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
    if (!displayAvailable(commandLine.platform, commandLine.display)) {
        std::fprintf(stderr, "%s\n", kNoDisplayMessage);
        return kExitNoDisplay;
    }
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    application.setWindowIcon(programIcon());
    QtMessageBoxProvider messages("KVT936PUS", false);
    QtDialogHost dialogs;
    QtWaitCursorProvider waitCursor;
    installMessageBoxProvider(&messages);
    installDialogHost(&dialogs);
    installWaitCursorProvider(&waitCursor);

    static InstanceLock instanceLock;  // owned until the process ends
    int code = startUp(instanceLock);
    if (code == kExitNormal) {
        messages.setJapanese(languageFlag == 0);
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        window.show();
        application.exec();
    }
    installWaitCursorProvider(nullptr);
    installDialogHost(nullptr);
    installMessageBoxProvider(nullptr);
    return code;
}

}  // namespace kvt
