#include "support/MqttBroker.h"

#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "support/Eventually.h"
#include "support/ProgramRun.h"
#include "support/TempHome.h"

namespace kvt::test {
namespace {

bool acceptsConnections(int port) {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool accepted = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return accepted;
}

}  // namespace

int unusedPort() {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

MqttBroker::MqttBroker(const std::string& password) : port_(unusedPort()) {
    folder_ = (std::filesystem::temp_directory_path() / "kvt-broker-XXXXXX").string();
    if (mkdtemp(folder_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    // Started by root, the broker would change to its own account, which
    // cannot use the folder: it stays with the test's.
    std::string conf = "user " + std::string(getpwuid(getuid())->pw_name) + "\nlistener " +
                       std::to_string(port_) + " 127.0.0.1\npersistence true\n" +
                       "persistence_location " + folder_ + "/\nlog_dest file " + folder_ + "/log\n";
    if (password.empty()) {
        conf += "allow_anonymous true\n";
    } else {
        std::string passwords = folder_ + "/passwords";
        writeFile(passwords, "");
        runProgram("/usr/bin/mosquitto_passwd", {"-b", passwords, "recorder", password}, {});
        conf += "allow_anonymous false\npassword_file " + passwords + "\n";
    }
    writeFile(folder_ + "/mosquitto.conf", conf);
}

MqttBroker::~MqttBroker() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool MqttBroker::start() {
    process_ = startProgram("/usr/sbin/mosquitto", {"-c", folder_ + "/mosquitto.conf"},
                            {"PATH=/usr/bin:/bin"}, folder_ + "/output");
    return process_ > 0 && eventually([this] { return acceptsConnections(port_); }, 10000);
}

void MqttBroker::stop() {
    if (process_ <= 0) return;
    kill(process_, SIGTERM);
    awaitExit(process_, 10000);
    process_ = -1;
}

PublishConfFile::PublishConfFile(const std::string& home, const std::string& lines) {
    std::filesystem::create_directories(home + "/.config/kvt936p");
    writeFile(home + "/.config/kvt936p/publish.conf", lines);
    configHome_.emplace("XDG_CONFIG_HOME", (home + "/.config").c_str());
}

MqttSubscriber::MqttSubscriber(int port, const std::string& topic) : topic_(topic) {
    mosquitto_lib_init();
    client_ = mosquitto_new("kvt-test-subscriber", false, this);
    mosquitto_connect_callback_set(client_, onConnect);
    mosquitto_message_callback_set(client_, onMessage);
    mosquitto_reconnect_delay_set(client_, 1, 1, false);
    mosquitto_connect_async(client_, "127.0.0.1", port, 30);
    mosquitto_loop_start(client_);
}

MqttSubscriber::~MqttSubscriber() {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
}

bool MqttSubscriber::connected() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connected_;
}

std::vector<std::string> MqttSubscriber::payloads(const std::string& topicEnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> found;
    for (const Received& message : received_) {
        const std::string& topic = message.topic;
        if (topic.size() >= topicEnd.size() && topic.compare(topic.size() - topicEnd.size(),
                                                             topicEnd.size(), topicEnd) == 0) {
            found.push_back(message.payload);
        }
    }
    return found;
}

void MqttSubscriber::onConnect(mosquitto* client, void* self, int code) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    if (code == 0) mosquitto_subscribe(client, nullptr, subscriber->topic_.c_str(), 1);
    std::lock_guard<std::mutex> lock(subscriber->mutex_);
    subscriber->connected_ = code == 0;
}

void MqttSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<MqttSubscriber*>(self);
    std::lock_guard<std::mutex> lock(subscriber->mutex_);
    Received received{message->mid, message->topic,
                      std::string(static_cast<const char*>(message->payload),
                                  static_cast<size_t>(message->payloadlen))};
    for (const Received& earlier : subscriber->received_) {
        bool again = message->qos > 0 && earlier.id == received.id &&
                     earlier.topic == received.topic && earlier.payload == received.payload;
        if (again) return;
    }
    subscriber->received_.push_back(std::move(received));
}

}  // namespace kvt::test
