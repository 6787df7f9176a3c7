#pragma once
#include <functional>

namespace kvt::test {

// Makes sure a toolkit application object exists for tests that create
// widgets, fonts or dialogs. Uses the off-screen platform unless
// QT_QPA_PLATFORM already names one. Safe to call from every test.
void ensureQtApplication();

// Runs `action` from inside the application's event loop and returns once
// it is done. Modal loops started by the action then run even after an
// earlier test ended the application's loop with QCoreApplication::exit
// (which leaves every later loop returning at once until exec runs anew).
void runInEventLoop(const std::function<void()>& action);

}  // namespace kvt::test
