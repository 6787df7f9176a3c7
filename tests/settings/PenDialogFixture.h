#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/DesktopSize.h"
#include "settings/PenDialogIds.h"
#include "settings/PenSettingDialog.h"
#include "support/ScriptedColourPicker.h"
#include "support/ScriptedMessageBoxes.h"

namespace kvt::test {

using namespace pen_ids;

// Default settings in normal mode with English texts, no measurement, no
// pending commit, a wide desktop; message boxes and colour pickers answer
// from scripts. open() runs the dialog headless as the settings menu does.
class PenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        languageFlag = 1;
        fillDefaults(liveConfiguration, 1, {2026, 1, 1});
        liveConfiguration.operatingMode = kNormalMode;
        std::memset(&workingConfiguration, 0, sizeof workingConfiguration);
        store(acquisitionRequested, 0);
        store(acquisitionActive, 0);
        store(g_settingsChanged, 0);
        overrideDesktopWidth(1024);
    }
    void TearDown() override {
        languageFlag = 1;
        store(acquisitionRequested, 0);
        store(g_settingsChanged, 0);
        overrideDesktopWidth(0);
    }

    PenSettingDialog& open(int group = 1) {
        dialog.emplace(group);
        dialog->initialise();
        return *dialog;
    }
    static PenSettings& working(int group, int pen) { return workingConfiguration.pen(group, pen); }
    static PenSettings& live(int group, int pen) { return liveConfiguration.pen(group, pen); }
    // The last message shown, or "" when none was.
    std::string lastMessage() const { return boxes.texts.empty() ? "" : boxes.texts.back(); }

    std::optional<PenSettingDialog> dialog;
    ScriptedMessageBoxes boxes;
    ScriptedColourPicker picker;
};

inline bool samePen(const PenSettings& a, const PenSettings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace kvt::test
