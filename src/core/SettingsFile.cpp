#include "core/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "core/Defaults.h"
#include "core/RunFlags.h"
#include "core/SettingsBackup.h"
#include "core/SettingsPlausibility.h"
#include "journal/JournalPosts.h"
#include "platform/Paths.h"
#include "platform/PlainFiles.h"
#include "platform/ReplacementFile.h"

namespace kvt {
namespace {

// What reading the settings file found.
struct FileRead {
    bool opened = false;
    off_t size = 0;
};

FileRead readRecordFile(const char* path, ConfigurationRecord& record) {
    FileRead found;
    // Only a plain file: a pipe in its place would hold start-up for good.
    int descriptor = openPlainFile(path, O_RDONLY);
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

// Keeps the damaged file and says so in the journal.
void keepDamagedFile(const char* path) {
    char keptAs[PATH_MAX];
    bool kept = keepDamagedSettings(path, keptAs, sizeof keptAs) == 0;
    journalSettingsKept(path, kept ? keptAs : nullptr, errno);
}

}  // namespace

void loadSettingsFrom(const char* path, ConfigurationRecord& record, int language) {
    FileRead found = readRecordFile(path, record);
    if (needsBackup(path, found, record)) keepDamagedFile(path);
    if (acceptVersionMark(record)) return;
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
