#include "support/ScreenWindows.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/Eventually.h"

namespace kvt::test {
namespace {

// What xdotool prints for `arguments` on the session's display.
std::string xdotoolOutput(const XvfbSession& session, const std::string& arguments) {
    std::string command = "DISPLAY=" + session.display() + " xdotool " + arguments + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
        pclose(pipe);
    }
    return output;
}

std::string firstWindowTitled(const XvfbSession& session, const std::string& title) {
    std::istringstream ids(xdotoolOutput(session, "search --onlyvisible --name '^" + title + "$'"));
    std::string id;
    ids >> id;
    return id;
}

ScreenWindow geometryOf(const XvfbSession& session, const std::string& id) {
    ScreenWindow window;
    std::istringstream shell(xdotoolOutput(session, "getwindowgeometry --shell " + id));
    std::string line;
    while (std::getline(shell, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        int value = std::atoi(line.c_str() + equals + 1);
        std::string key = line.substr(0, equals);
        if (key == "X") window.x = value;
        if (key == "Y") window.y = value;
        if (key == "WIDTH") window.width = value;
        if (key == "HEIGHT") window.height = value;
    }
    return window;
}

}  // namespace

bool waitForWindow(const XvfbSession& session, const std::string& title, ScreenWindow& window,
                   int timeoutMs) {
    return eventually(
        [&] {
            std::string id = firstWindowTitled(session, title);
            if (id.empty()) return false;
            window = geometryOf(session, id);
            return window.width > 0;
        },
        timeoutMs);
}

bool waitForWindowGone(const XvfbSession& session, const std::string& title, int timeoutMs) {
    return eventually([&] { return firstWindowTitled(session, title).empty(); }, timeoutMs);
}

bool clickControl(const XvfbSession& session, const ScreenWindow& window,
                  const DialogTemplate& layout, int id) {
    constexpr int kIntoPlace = 6;
    for (const ControlTemplate& control : layout.controls) {
        if (control.id != id) continue;
        int x = window.x + dialogUnitsToPixelsX(control.place.x) + kIntoPlace;
        int y = window.y + dialogUnitsToPixelsY(control.place.y) +
                dialogUnitsToPixelsY(control.place.height) / 2;
        return session.click(x, y);
    }
    return false;
}

}  // namespace kvt::test
