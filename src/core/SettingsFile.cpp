#include "core/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"
#include "platform/ReplacementFile.h"

namespace kvt {

void loadSettingsFrom(const char* path, ConfigurationRecord& record, int language) {
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        // A short file fills the start of the record and leaves the rest as
        // it was; a longer one is read for its first record only.
        auto* bytes = reinterpret_cast<char*>(&record);
        size_t filled = 0;
        while (filled < sizeof record) {
            ssize_t got = read(descriptor, bytes + filled, sizeof record - filled);
            if (got <= 0) break;
            filled += static_cast<size_t>(got);
        }
        close(descriptor);
    }
    if (std::memcmp(record.version, "1.01", 4) >= 0) {
        std::memcpy(record.version, kVersionMark, 6);
        return;
    }
    fillDefaults(record, language, yesterday());
}

// The record goes to a temporary file beside the settings file, which it
// replaces only once it is complete and on the disk.
int saveSettingsTo(const char* path, const ConfigurationRecord& record) {
    ReplacementFile file(path);
    return file.write(&record, sizeof record) && file.commit() ? 0 : -1;
}

void loadSettings() {
    makeDataFolder();
    loadSettingsFrom(settingsFilePath(), liveConfiguration, languageFlag);
}

int saveSettings() { return saveSettingsTo(settingsFilePath(), liveConfiguration); }

}  // namespace kvt
