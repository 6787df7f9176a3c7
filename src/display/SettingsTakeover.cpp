#include "display/SettingsTakeover.h"

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"

namespace kvt {

bool takeOverSettingsChange() {
    if (load(g_settingsChanged) != 1) return false;
    std::memcpy(&liveConfiguration, &workingConfiguration, sizeof liveConfiguration);
    if (isHorizontal(graphLayout(liveConfiguration))) {
        if (displayMode == kLiveTrend) displayMode = kLiveWithPanel;
        if (displayMode == kPlaybackTrend) displayMode = kPlaybackWithPanel;
    }
    if (liveConfiguration.operatingMode == kHighSpeedMode && currentGroup != 0) currentGroup = 0;
    if (liveConfiguration.operatingMode == kNormalMode && currentGroup == 0) currentGroup = 1;
    saveSettings();
    store(g_settingsChanged, 0);
    return true;
}

}  // namespace kvt
