#include "support/QtTestApplication.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

namespace kvt::test {

void ensureQtApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || platform[0] == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kvt-test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);  // lives for the test run
    (void)application;
}

void runInEventLoop(const std::function<void()>& action) {
    ensureQtApplication();
    QTimer::singleShot(0, [&] {
        action();
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
}

}  // namespace kvt::test
