#pragma once

namespace kvt::test {

// Saves settings for runs of the real program: demonstration mode, group 1
// recording normally every 0.5 s, its pens plotted over their whole scale
// so the demo values are on the graph. True when the file was written.
bool saveDemoRecordingSettings();

}  // namespace kvt::test
