#pragma once

namespace kvt {

// When a settings dialog has committed (g_settingsChanged is 1): copies
// the working configuration over the live one, brings the display state in
// line (horizontal graphs always show the panel; high-speed mode shows
// group 0, normal mode never does), publishes the live configuration to the
// worker threads, saves the settings file and clears the flag. Returns true
// when a change was taken over.
bool takeOverSettingsChange();

// When the recording scheduler's midnight cleanup has advanced the oldest
// kept date: writes it into the live configuration (and into the working
// one, so an open dialog does not commit the old date back), publishes and
// saves. Returns true when a date was taken over.
bool takeOverStorageCleanup();

}  // namespace kvt
