#pragma once
#include "core/ConfigurationRecord.h"

namespace kvt {

// Fills the live configuration from the settings file, or with defaults in
// the language in force. Never fails visibly.
void loadSettings();

// Writes the live configuration to the settings file. Returns 0, or -1 when
// the file cannot be written: the settings then stay in memory only, and the
// file keeps the settings it held (a full disk or a power failure during the
// save never leaves a cut-off file).
int saveSettings();

// The same for any record and path (used by the two above and by tests).
void loadSettingsFrom(const char* path, ConfigurationRecord& record, int language);
int saveSettingsTo(const char* path, const ConfigurationRecord& record);

}  // namespace kvt
