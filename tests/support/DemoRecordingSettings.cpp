#include "support/DemoRecordingSettings.h"

#include "acquisition/DemoSettings.h"
#include "core/ConfigurationRecord.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"

namespace kvt::test {

bool saveDemoRecordingSettings() {
    fillDemoSettings(liveConfiguration, 1);
    makeDataFolder();
    return saveSettings() == 0;
}

}  // namespace kvt::test
