// Whether the toolkit would find a display, found before it starts: one
// line naming the display and why it cannot be opened.
#include <gtest/gtest.h>

#include <string>

#include "platform/DisplayCheck.h"
#include "support/ScopedEnv.h"

namespace kvt {
namespace {

struct DisplayCase {
    const char* display;        // DISPLAY, or null for none
    const char* qtPlatform;     // QT_QPA_PLATFORM, or null
    const char* displayOption;  // the toolkit's -display value, or null
    const char* expected;       // the line, or a part of it; "" for a usable display
};

TEST(DisplayCheck, NamesTheDisplayAndWhyItCannotBeOpened) {
    const DisplayCase cases[] = {
        {nullptr, nullptr, nullptr, kNoDisplayMessage},
        {"", "xcb", nullptr, kNoDisplayMessage},
        {nullptr, "offscreen", nullptr, ""},
        {":977", nullptr, nullptr,
         "kvt936p: cannot open the display \":977\": no X server runs there (there is no "
         "/tmp/.X11-unix/X977)"},
        {":0", nullptr, ":977.0", "display \":977.0\": no X server runs there"},
        {"unix:977", nullptr, nullptr, "no X server runs there"},
        {"127.0.0.1:977", nullptr, nullptr,
         "display \"127.0.0.1:977\": no X server listens on 127.0.0.1 port 6977"},
        {"no-such-host.invalid:0", nullptr, nullptr, "cannot find the host no-such-host.invalid"},
        {"screen", nullptr, nullptr, "display \"screen\": not a display name"},
        {":x", nullptr, nullptr, "not a display name"},
    };
    test::ScopedEnv noWayland("WAYLAND_DISPLAY", nullptr);
    for (const DisplayCase& given : cases) {
        test::ScopedEnv display("DISPLAY", given.display);
        test::ScopedEnv platform("QT_QPA_PLATFORM", given.qtPlatform);
        std::string problem = displayProblem(nullptr, given.displayOption);
        if (given.expected[0] == '\0') {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(given.expected), std::string::npos)
                << (given.display ? given.display : "(none)") << ": " << problem;
        }
        EXPECT_EQ(problem.find('\n'), std::string::npos);
    }
    // The message is for the installed program, not a script of the sources.
    EXPECT_NE(std::string(kNoDisplayMessage).find("xvfb-run kvt936p"), std::string::npos);
    EXPECT_EQ(std::string(kNoDisplayMessage).find("run.sh"), std::string::npos);
}

}  // namespace
}  // namespace kvt
