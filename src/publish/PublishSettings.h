#pragma once
#include <string>
#include <string_view>

namespace kvt {

// Where and how the recorder publishes, from publish.conf: a small
// "key = value" file, one key a line, '#' starting a comment line.
struct PublishSettings {
    std::string host;
    int port = 1883;
    std::string clientId;     // default "kvt936p-<host name>"
    std::string topicPrefix;  // default "kvt936p/<host name>"
    std::string username;
    std::string passwordFile;
    std::string caFile;  // TLS when set
    int qos = 1;
    int spoolLimitMib = 256;
    std::string password;  // read from passwordFile
};

struct PublishConfig {
    enum class Outcome { Absent, Invalid, Valid } outcome = Outcome::Absent;
    PublishSettings settings;
    std::string problem;  // what makes it Invalid
};

// $XDG_CONFIG_HOME/kvt936p/publish.conf, or ~/.config/kvt936p/publish.conf
// when XDG_CONFIG_HOME is unset or not an absolute path.
std::string publishConfigPath();

// The settings a publish.conf text holds. Invalid, with the first problem,
// for an unknown key, a line without "=", a value out of range, a missing
// host, or a password file without a user name. Does not read the
// password file.
PublishConfig parsePublishConfig(std::string_view text, const std::string& hostName);

// Reads the file (Absent when there is none), then the password file, and
// checks that the CA file can be read.
PublishConfig readPublishConfig(const std::string& path);

}  // namespace kvt
