#pragma once

namespace kvt {

// True when the environment names a display the toolkit can use: an X11
// display (local ones must have their socket), a Wayland display, or an
// explicit toolkit platform such as "offscreen". The toolkit's -platform
// and -display command-line values, when given, count before the
// environment.
bool displayAvailable(const char* platformArgument = nullptr,
                      const char* displayArgument = nullptr);

// The one line printed when there is none.
constexpr const char* kNoDisplayMessage =
    "kvt936p: no display found (DISPLAY is not set or its X server is not running); start it "
    "with a display, for example: xvfb-run ./run.sh";

}  // namespace kvt
