#pragma once
#include <string>

namespace kvt {

// What stands between the program and a display the toolkit can open,
// found before the toolkit starts (which would abort the process): the one
// line to print, or an empty text when there is a display. Counts as one:
// an explicit toolkit platform other than X11 (such as "offscreen"), a
// Wayland display, or an X11 display that answers and lets us in. The
// toolkit's -platform and -display command-line values, when given, count
// before the environment. A remote X11 display that does not answer is
// given up after a few seconds.
std::string displayProblem(const char* platformArgument = nullptr,
                           const char* displayArgument = nullptr);

// The line when no display is named at all.
constexpr const char* kNoDisplayMessage =
    "kvt936p: no display found (DISPLAY is not set); start kvt936p on a desktop, or on a "
    "machine with no screen as: xvfb-run kvt936p";

}  // namespace kvt
