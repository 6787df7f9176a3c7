#pragma once

namespace kvt::test {

// Makes sure a toolkit application object exists for tests that create
// widgets, fonts or dialogs. Uses the off-screen platform unless
// QT_QPA_PLATFORM already names one. Safe to call from every test.
void ensureQtApplication();

}  // namespace kvt::test
