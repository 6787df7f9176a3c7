#include "recording/RecordingWriter.h"

#include "core/RunFlags.h"
#include "platform/Clock.h"

namespace kvt {

// Placeholder until the writer lands: idles until exit.
void recordingWriterMain() {
    while (!load(exitRequested)) activeClock().sleepMs(25);
}

}  // namespace kvt
