#include "core/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "platform/Paths.h"

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

namespace {

// Writes the whole record to a new file and makes sure it reached the disk.
bool writeRecordFile(const char* path, const ConfigurationRecord& record) {
    int descriptor = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) return false;
    const auto* bytes = reinterpret_cast<const char*>(&record);
    size_t written = 0;
    while (written < sizeof record) {
        ssize_t put = write(descriptor, bytes + written, sizeof record - written);
        if (put <= 0) break;
        written += static_cast<size_t>(put);
    }
    bool whole = written == sizeof record && fsync(descriptor) == 0;
    return close(descriptor) == 0 && whole;
}

}  // namespace

// The record goes to a temporary file beside the settings file, which it
// replaces only once it is complete and on the disk.
int saveSettingsTo(const char* path, const ConfigurationRecord& record) {
    char temporary[PATH_MAX];
    int length = std::snprintf(temporary, sizeof temporary, "%s.new", path);
    if (length < 0 || length >= static_cast<int>(sizeof temporary)) return -1;
    if (writeRecordFile(temporary, record) && rename(temporary, path) == 0) return 0;
    unlink(temporary);
    return -1;
}

void loadSettings() {
    makeDataFolder();
    loadSettingsFrom(settingsFilePath(), liveConfiguration, languageFlag);
}

int saveSettings() { return saveSettingsTo(settingsFilePath(), liveConfiguration); }

}  // namespace kvt
