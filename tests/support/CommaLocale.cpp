#include "support/CommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kvt::test {
namespace {

// Names the folder for the processes a test starts (death tests run the
// test program again), so they use it instead of building their own.
constexpr const char* kFolderVariable = "KVT_TEST_COMMA_LOCALE";

// The private locale folder, removed when the test program that built it
// ends.
struct LocaleFolder {
    std::string path;
    bool owned = false;
    ~LocaleFolder() {
        std::error_code ignored;
        if (owned) std::filesystem::remove_all(path, ignored);
    }
};

LocaleFolder findOrBuildCommaLocale() {
    const char* inherited = std::getenv(kFolderVariable);
    if (inherited != nullptr && inherited[0] != '\0') return {inherited, false};
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-locale-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    std::string command = "localedef -i de_DE -f UTF-8 '" + pattern + "/" + kCommaLocaleName +
                          "' >/dev/null 2>&1";
    // localedef may report warnings with a non-zero status and still build it.
    [[maybe_unused]] int status = std::system(command.c_str());
    setenv(kFolderVariable, pattern.c_str(), 1);
    return {pattern, true};
}

}  // namespace

std::string commaLocaleFolder() {
    static LocaleFolder folder = findOrBuildCommaLocale();
    if (folder.path.empty()) return {};
    std::error_code ignored;
    bool built = std::filesystem::exists(
        folder.path + "/" + kCommaLocaleName + "/LC_NUMERIC", ignored);
    return built ? folder.path : std::string();
}

ScopedCommaLocale::ScopedCommaLocale() {
    previous_ = std::setlocale(LC_ALL, nullptr);
    std::string folder = commaLocaleFolder();
    if (folder.empty()) return;
    localePath_.emplace("LOCPATH", folder.c_str());
    active_ = std::setlocale(LC_ALL, kCommaLocaleName) != nullptr &&
              std::localeconv()->decimal_point[0] == ',';
}

ScopedCommaLocale::~ScopedCommaLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
    localePath_.reset();
}

}  // namespace kvt::test
