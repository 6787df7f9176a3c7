#pragma once
#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempHome.h"

namespace kvt::test {

// For tests of the settings dialogs: a fresh HOME holding the default
// settings as the live configuration (working copy equal), no measurement,
// no commit pending, English texts, the clock at 2026-03-07 09:30, and
// dialogs and message boxes run by script. Everything comes back after.
class SettingsDialogFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void setRunning(bool requested, bool active);

    TempHome home;
    ScopedFakeClock fake;
    ScriptedMessageBoxes boxes;
    ScriptedDialogHost dialogs;
};

}  // namespace kvt::test
