#pragma once

namespace kvt::test {

// Saves the settings ./run.sh starts a new user with (fillDemoSettings, in
// English) for runs of the real program. True when the file was written.
bool saveDemoRecordingSettings();

}  // namespace kvt::test
