#include "core/ConfigurationRecord.h"

namespace kvt {

ConfigurationRecord liveConfiguration{};
ConfigurationRecord workingConfiguration{};

const char* storingModeName(int mode) {
    static const char* const kNames[] = {"no recording", "normal", "remote trigger",
                                         "event recording", "auto"};
    return mode >= kNoRecording && mode <= kAuto ? kNames[mode] : "unknown";
}

}  // namespace kvt
