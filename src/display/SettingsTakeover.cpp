#include "display/SettingsTakeover.h"

#include <algorithm>
#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/DisplayState.h"
#include "display/GraphLayout.h"
#include "recording/StorageCleanup.h"

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
    publishLiveConfiguration();
    saveSettings();
    store(g_settingsChanged, 0);
    return true;
}

bool takeOverStorageCleanup() {
    int32_t date[3];
    if (!takeAdvancedOldestKeptDate(date)) return false;
    std::copy(std::begin(date), std::end(date), liveConfiguration.oldestKeptDate);
    std::copy(std::begin(date), std::end(date), workingConfiguration.oldestKeptDate);
    publishLiveConfiguration();
    saveSettings();
    return true;
}

}  // namespace kvt
