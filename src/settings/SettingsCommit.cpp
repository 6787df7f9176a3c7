#include "settings/SettingsCommit.h"

#include <cstring>

#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"

namespace kvt {

void beginSettingsEdit() {
    std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
}

void commitSettingsEdit() { store(g_settingsChanged, 1); }

bool settingsChangePending() { return load(g_settingsChanged) == 1; }

bool measurementRunning() {
    return load(acquisitionRequested) != 0 || load(acquisitionActive) != 0;
}

}  // namespace kvt
