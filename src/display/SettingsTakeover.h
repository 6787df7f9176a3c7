#pragma once

namespace kvt {

// When a settings dialog has committed (g_settingsChanged is 1): copies
// the working configuration over the live one, brings the display state in
// line (horizontal graphs always show the panel; high-speed mode shows
// group 0, normal mode never does), saves the settings file and clears the
// flag. Returns true when a change was taken over.
bool takeOverSettingsChange();

}  // namespace kvt
