#include "support/SettingsDialogFixture.h"

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "core/Defaults.h"
#include "platform/Paths.h"

namespace kvt::test {

void SettingsDialogFixture::SetUp() {
    fake.clock.setLocal(2026, 3, 7, 9, 30, 0);
    languageFlag = 1;
    setRunning(false, false);
    store(g_settingsChanged, 0);
    makeDataFolder();
    fillDefaults(liveConfiguration, 1, {2026, 3, 6});
    std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
}

void SettingsDialogFixture::TearDown() {
    languageFlag = 1;
    setRunning(false, false);
    store(g_settingsChanged, 0);
}

void SettingsDialogFixture::setRunning(bool requested, bool active) {
    store(acquisitionRequested, requested ? 1 : 0);
    store(acquisitionActive, active ? 1 : 0);
}

}  // namespace kvt::test
