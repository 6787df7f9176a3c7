#include "app/RuntimeState.h"

#include <initializer_list>

#include "acquisition/AcquisitionRecord.h"
#include "acquisition/AlarmStates.h"
#include "acquisition/CurrentValues.h"
#include "acquisition/NodePolling.h"
#include "acquisition/RunReport.h"
#include "core/ConfigurationRecord.h"
#include "core/PublishedConfiguration.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "recording/DiskProbe.h"
#include "recording/PlaybackPanes.h"
#include "recording/RecordingScheduler.h"
#include "recording/StorageCleanup.h"

namespace kvt {

void initialiseRuntimeState() {
    publishLiveConfiguration();
    currentGroup = liveConfiguration.operatingMode == kHighSpeedMode ? 0 : 1;
    graphHorizontal = liveConfiguration.graphDirection != 0 ? 1 : 0;
    clearAcquisitionRing();
    for (std::atomic<int>* flag : {&acquisitionActive, &acquisitionRequested, &exitRequested,
                                   &blinkFlag, &g_settingsChanged, &valuesValid, &startFailed,
                                   &failedNode, &overrunCounter}) {
        store(*flag, 0);
    }
    updateDiskLowFlag();
    resetCurrentValues();
    clearAlarmStates();
    resetRecordingBuffers();
    resetPlaybackPanes();
    resetNodePolling();
    resetRunReport();
}

void prepareRuntime() {
    loadSettings();
    saveSettings();
    initialiseRuntimeState();
    runStorageCleanup();
}

}  // namespace kvt
