#include "publish/PublishSettings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>

#include "platform/PlainFiles.h"

namespace kvt {
namespace {

constexpr int kLargestSpoolMib = 65536;

std::string_view trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool readNumber(std::string_view text, int low, int high, int& number) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    number = value;
    return true;
}

bool isPlainTopic(std::string_view topic) {
    return topic.find_first_of("+#") == std::string_view::npos &&
           topic.back() != '/';
}

std::string* textSetting(std::string_view key, PublishSettings& settings) {
    if (key == "host") return &settings.host;
    if (key == "client_id") return &settings.clientId;
    if (key == "topic_prefix") return &settings.topicPrefix;
    if (key == "username") return &settings.username;
    if (key == "password_file") return &settings.passwordFile;
    if (key == "ca_file") return &settings.caFile;
    return nullptr;
}

// Takes one "key = value"; what the value needs when it is not acceptable.
std::string takeSetting(std::string_view key, std::string_view value, PublishSettings& settings) {
    if (key == "port") return readNumber(value, 1, 65535, settings.port) ? "" : "a port 1-65535";
    if (key == "qos") return readNumber(value, 0, 2, settings.qos) ? "" : "0, 1 or 2";
    if (key == "spool_limit_mib") {
        return readNumber(value, 1, kLargestSpoolMib, settings.spoolLimitMib) ? "" : "a size 1-65536";
    }
    std::string* text = textSetting(key, settings);
    if (text == nullptr) return "unknown key";
    *text = std::string(value);
    if (value.empty()) return "a value";
    if (key == "host" && value.find_first_of(" \t") != std::string_view::npos) return "no spaces";
    if (key == "topic_prefix" && !isPlainTopic(value)) return "no + or # and no final /";
    return "";
}

PublishConfig invalid(std::string problem) {
    PublishConfig config;
    config.outcome = PublishConfig::Outcome::Invalid;
    config.problem = std::move(problem);
    return config;
}

std::string localHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
    return name;
}

// A plain file only: a pipe or device put in its place would hold up the
// start of the recorder.
bool readWholeFile(const std::string& path, std::string& text) {
    int descriptor = openPlainFile(path.c_str(), O_RDONLY);
    if (descriptor < 0) return false;
    text.clear();
    char bytes[4096];
    ssize_t got = 0;
    while ((got = read(descriptor, bytes, sizeof bytes)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) text.append(bytes, static_cast<size_t>(got));
    }
    close(descriptor);
    return got == 0;
}

}  // namespace

std::string publishConfigPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/kvt936p/publish.conf";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/kvt936p/publish.conf";
}

PublishConfig parsePublishConfig(std::string_view text, const std::string& hostName) {
    PublishConfig config;
    PublishSettings& settings = config.settings;
    int lineNumber = 0;
    while (!text.empty()) {
        size_t lineEnd = text.find('\n');
        std::string_view line = trimmed(text.substr(0, lineEnd));
        text = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        std::string where = "line " + std::to_string(lineNumber) + ": ";
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) return invalid(where + "no \"key = value\"");
        std::string_view key = trimmed(line.substr(0, equals));
        std::string problem = takeSetting(key, trimmed(line.substr(equals + 1)), settings);
        if (!problem.empty()) {
            return invalid(where + std::string(key) + ": " +
                           (problem == "unknown key" ? problem : "needs " + problem));
        }
    }
    if (settings.host.empty()) return invalid("no host");
    if (!settings.passwordFile.empty() && settings.username.empty()) {
        return invalid("password_file needs username");
    }
    if (settings.clientId.empty()) settings.clientId = "kvt936p-" + hostName;
    if (settings.topicPrefix.empty()) settings.topicPrefix = "kvt936p/" + hostName;
    config.outcome = PublishConfig::Outcome::Valid;
    return config;
}

PublishConfig readPublishConfig(const std::string& path) {
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return {};
    std::string text;
    if (!readWholeFile(path, text)) return invalid("cannot be read");
    PublishConfig config = parsePublishConfig(text, localHostName());
    PublishSettings& settings = config.settings;
    if (config.outcome != PublishConfig::Outcome::Valid) return config;
    if (!settings.passwordFile.empty()) {
        if (!readWholeFile(settings.passwordFile, settings.password)) {
            return invalid("password_file " + settings.passwordFile + " cannot be read");
        }
        settings.password = settings.password.substr(0, settings.password.find_first_of("\r\n"));
    }
    if (!settings.caFile.empty() && access(settings.caFile.c_str(), R_OK) != 0) {
        return invalid("ca_file " + settings.caFile + " cannot be read");
    }
    return config;
}

}  // namespace kvt
