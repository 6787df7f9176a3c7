#pragma once
#include <string>

#include "platform/DialogTemplate.h"
#include "support/XvfbSession.h"

namespace kvt::test {

// A top-level window's place on the screen of an Xvfb session.
struct ScreenWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Waits until a visible window titled exactly `title` is shown.
bool waitForWindow(const XvfbSession& session, const std::string& title, ScreenWindow& window,
                   int timeoutMs = 15000);
// Waits until no visible window titled `title` is left.
bool waitForWindowGone(const XvfbSession& session, const std::string& title,
                       int timeoutMs = 15000);
// Clicks control `id` of the dialog laid out by `layout` and shown in
// `window`, a few pixels into its place (where a box or radio button has
// its box), half-way down.
bool clickControl(const XvfbSession& session, const ScreenWindow& window,
                  const DialogTemplate& layout, int id);

}  // namespace kvt::test
