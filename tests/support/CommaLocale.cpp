#include "support/CommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kvt::test {
namespace {

// The private locale folder, removed when the test program ends.
struct LocaleFolder {
    std::string path;
    ~LocaleFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

std::string buildCommaLocale() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-locale-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    std::string command = "localedef -i de_DE -f UTF-8 '" + pattern + "/" + kCommaLocaleName +
                          "' >/dev/null 2>&1";
    // localedef may report warnings with a non-zero status and still build it.
    (void)std::system(command.c_str());
    return pattern;
}

}  // namespace

std::string commaLocaleFolder() {
    static LocaleFolder folder{buildCommaLocale()};
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
