// Where COM1-COM5 lead: the user's links in the configuration folder, then
// in the folder of earlier versions, then the built-in serial ports.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/SerialDevicePath.h"
#include "core/ConfigurationRecord.h"
#include "platform/Paths.h"
#include "support/ScopedEnv.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

struct LookupCase {
    const char* name;
    const char* configHome;  // XDG_CONFIG_HOME ("/..." lies in the home folder); null = unset
    std::vector<std::string> links;  // entries made under the home folder
    int commPort;
    std::string expected;  // "~" stands for the home folder
};

std::string devicePathFor(int commPort) {
    char path[1200];
    if (!serialDevicePath(commPort, path, sizeof path)) return "(none)";
    return path;
}

TEST(SerialDevicePath, LooksInTheConfigFolderThenTheOldFolderThenTheBuiltInPorts) {
    const LookupCase cases[] = {
        {"no links", nullptr, {}, 2, "/dev/ttyS2"},
        {"config folder", nullptr, {"/.config/kvt936p/com1"}, 0, "~/.config/kvt936p/com1"},
        {"old folder still read", nullptr, {"/.kvt936p/com5"}, 4, "~/.kvt936p/com5"},
        {"config folder first", nullptr, {"/.kvt936p/com1", "/.config/kvt936p/com1"}, 0,
         "~/.config/kvt936p/com1"},
        {"link of another port", nullptr, {"/.config/kvt936p/com2"}, 0, "/dev/ttyS0"},
        {"XDG_CONFIG_HOME", "/xdg", {"/xdg/kvt936p/com1", "/.config/kvt936p/com1"}, 0,
         "~/xdg/kvt936p/com1"},
        {"XDG_CONFIG_HOME replaces ~/.config", "/xdg", {"/.config/kvt936p/com1"}, 0,
         "/dev/ttyS0"},
        {"then the old folder", "/xdg", {"/.kvt936p/com1"}, 0, "~/.kvt936p/com1"},
        {"empty XDG_CONFIG_HOME", "", {"/.config/kvt936p/com3"}, 2, "~/.config/kvt936p/com3"},
        {"relative XDG_CONFIG_HOME", "xdg", {"/.config/kvt936p/com1"}, 0,
         "~/.config/kvt936p/com1"},
        {"TCP/IP", nullptr, {"/.config/kvt936p/com6"}, kCommPortTcp, "(none)"},
        {"no port", nullptr, {}, -1, "(none)"},
    };
    for (const LookupCase& lookup : cases) {
        SCOPED_TRACE(lookup.name);
        test::TempHome home;
        std::string configHome = lookup.configHome == nullptr ? "" : lookup.configHome;
        if (configHome.starts_with('/')) configHome = home.path() + configHome;
        std::optional<test::ScopedEnv> xdg;
        if (lookup.configHome != nullptr) xdg.emplace("XDG_CONFIG_HOME", configHome.c_str());
        refreshDataPaths();
        for (const std::string& link : lookup.links) {
            std::filesystem::path path = home.path() + link;
            std::filesystem::create_directories(path.parent_path());
            // A dangling link counts: a failure to open then names it.
            std::filesystem::create_symlink("/dev/kvt-unplugged", path);
        }
        std::string expected = lookup.expected.starts_with('~')
                                   ? home.path() + lookup.expected.substr(1)
                                   : lookup.expected;
        EXPECT_EQ(devicePathFor(lookup.commPort), expected);
        xdg.reset();
        refreshDataPaths();
    }
}

}  // namespace
}  // namespace kvt
