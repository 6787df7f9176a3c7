#include "support/DemoRecordingSettings.h"

#include "core/ConfigurationRecord.h"
#include "core/Defaults.h"
#include "core/SettingsFile.h"
#include "platform/Paths.h"

namespace kvt::test {

bool saveDemoRecordingSettings() {
    fillDefaults(liveConfiguration, 1, {2026, 1, 1});
    liveConfiguration.operatingMode = kDemoMode;
    liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
    liveConfiguration.group(1).storingMode = kNormal;
    for (PenSettings& pen : liveConfiguration.pens[1]) {
        pen.plotLow = pen.scaleLow;
        pen.plotHigh = pen.scaleHigh;
        pen.plotHighText[0] = '\0';
    }
    makeDataFolder();
    return saveSettings() == 0;
}

}  // namespace kvt::test
