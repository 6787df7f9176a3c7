#pragma once

namespace kvt {

// How every settings dialog hands its changes to the main window, all on
// the window thread:
//   1. when it opens, beginSettingsEdit() copies the live configuration
//      whole into the working configuration;
//   2. it edits only its own members and workingConfiguration;
//   3. on OK (or Apply), once its input is valid, commitSettingsEdit()
//      raises g_settingsChanged; the window's next refresh copies the
//      working configuration over the live one and saves the settings file
//      (takeOverSettingsChange), then clears the flag.
// While a commit waits to be taken over, no settings dialog may open, so
// none starts from a live configuration about to be replaced.
void beginSettingsEdit();
void commitSettingsEdit();
bool settingsChangePending();

// A measurement is requested or running: inputs that change acquisition
// are locked, and some dialogs commit nothing.
bool measurementRunning();

}  // namespace kvt
