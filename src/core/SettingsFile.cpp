#include "core/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "core/SettingsBackup.h"
#include "core/SettingsPlausibility.h"
#include "platform/Paths.h"

namespace kvt {
namespace {

// What reading the settings file found.
struct FileRead {
    bool opened = false;
    off_t size = 0;
};

FileRead readRecordFile(const char* path, ConfigurationRecord& record) {
    FileRead found;
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return found;
    found.opened = true;
    struct stat status {};
    if (fstat(descriptor, &status) == 0) found.size = status.st_size;
    // A short file fills the start of the record and leaves the rest as it
    // was; a longer one is read for its first record only.
    auto* bytes = reinterpret_cast<char*>(&record);
    size_t filled = 0;
    while (filled < sizeof record) {
        ssize_t got = read(descriptor, bytes + filled, sizeof record - filled);
        if (got <= 0) break;
        filled += static_cast<size_t>(got);
    }
    close(descriptor);
    return found;
}

// The version test: a mark of "1.01" or above is accepted and rewritten to
// "1.01  ", anything below it is not.
bool acceptVersionMark(ConfigurationRecord& record) {
    if (std::memcmp(record.version, "1.01", 4) < 0) return false;
    std::memcpy(record.version, kVersionMark, 6);
    return true;
}

bool sameRecord(const ConfigurationRecord& one, const ConfigurationRecord& other) {
    return std::memcmp(&one, &other, sizeof one) == 0;
}

// True when the file is what start-up wrote back after keeping an earlier
// backup: a whole record with the mark already rewritten that one of the
// backups loads as. Keeping it once more would only add a copy on every
// start while the damage stays.
bool isRewriteOfABackup(const char* path, const FileRead& found,
                        const ConfigurationRecord& record) {
    if (found.size != static_cast<off_t>(sizeof record)) return false;
    if (std::memcmp(record.version, kVersionMark, 6) != 0) return false;
    return anySettingsBackup(path, [&record](const char* backup) {
        static ConfigurationRecord kept;
        std::memset(&kept, 0, sizeof kept);
        readRecordFile(backup, kept);
        return acceptVersionMark(kept) && sameRecord(kept, record);
    });
}

// Whether start-up must keep the file before it writes the record back: a
// file with content that is not exactly a plausible record (wrong size, an
// other version mark, a field out of range), unless it is our own rewrite
// of a damaged file kept before.
bool needsBackup(const char* path, const FileRead& found, const ConfigurationRecord& record) {
    if (!found.opened || found.size == 0) return false;
    bool plausible = found.size == static_cast<off_t>(sizeof record) &&
                     firstImplausibleField(record) == nullptr;
    return !plausible && !isRewriteOfABackup(path, found, record);
}

// Numbers the temporary files of this process's saves.
std::atomic<uint32_t> saveCount{0};

// A temporary name beside the settings file that no other save uses: the
// scheduler's midnight cleanup and the window may save at the same time.
bool temporaryName(char (&name)[PATH_MAX], const char* path) {
    unsigned save = saveCount.fetch_add(1, std::memory_order_relaxed);
    int length = std::snprintf(name, sizeof name, "%s.new-%ld-%u", path,
                               static_cast<long>(getpid()), save);
    return length > 0 && length < static_cast<int>(sizeof name);
}

// Writes the whole record to a new file and makes sure it reached the disk.
bool writeRecordFile(const char* path, const ConfigurationRecord& record) {
    int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

void loadSettingsFrom(const char* path, ConfigurationRecord& record, int language) {
    FileRead found = readRecordFile(path, record);
    if (needsBackup(path, found, record)) keepDamagedSettings(path);
    if (acceptVersionMark(record)) return;
    fillDefaults(record, language, yesterday());
}

// The record goes to a temporary file of its own beside the settings file,
// which it replaces only once it is complete and on the disk; of two saves at
// once, each leaves a whole record and the later rename wins.
int saveSettingsTo(const char* path, const ConfigurationRecord& record) {
    char temporary[PATH_MAX];
    if (!temporaryName(temporary, path)) return -1;
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
