#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "platform/DesktopSize.h"
#include "settings/PenDialogIds.h"
#include "settings/PenSettingDialog.h"
#include "support/ScriptedColourPicker.h"
#include "support/SettingsDialogFixture.h"

namespace kvt::test {

using namespace pen_ids;

// The settings dialogs' fixture in normal mode, with a wide desktop and
// colour pickers answered by script. open() runs the pen dialog headless
// as the settings menu does.
class PenDialogTest : public SettingsDialogFixture {
protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        liveConfiguration.operatingMode = kNormalMode;
        overrideDesktopWidth(1024);
    }
    void TearDown() override {
        overrideDesktopWidth(0);
        SettingsDialogFixture::TearDown();
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
    ScriptedColourPicker picker;
};

inline bool samePen(const PenSettings& a, const PenSettings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace kvt::test
