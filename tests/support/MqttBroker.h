#pragma once
#include <sys/types.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/ScopedEnv.h"

struct mosquitto;
struct mosquitto_message;

namespace kvt::test {

// A real mosquitto broker on a free loopback port, with its files (and its
// persistent sessions) in a temporary folder. With a password, only the
// user "recorder" with that password may connect.
class MqttBroker {
public:
    explicit MqttBroker(const std::string& password = "");
    ~MqttBroker();
    MqttBroker(const MqttBroker&) = delete;
    MqttBroker& operator=(const MqttBroker&) = delete;

    // Starts it (again, on the same port) and waits until it accepts
    // connections; stop() ends it as a service stop does (SIGTERM).
    bool start();
    void stop();
    int port() const { return port_; }

private:
    std::string folder_;
    int port_ = 0;
    pid_t process_ = -1;
};

// A loopback port nothing listens on.
int unusedPort();

// publish.conf in "<home>/.config/kvt936p" with `lines`, and
// XDG_CONFIG_HOME pointing there for the object's lifetime.
class PublishConfFile {
public:
    PublishConfFile(const std::string& home, const std::string& lines);

private:
    std::optional<ScopedEnv> configHome_;
};

// A subscriber with a persistent session (clean session off) at QoS 1 on
// `topic`, reconnecting by itself whenever the broker is back. A message the
// broker delivers again under its earlier packet id (as the broker does
// after a restart, for messages of the session it saved) counts once: a
// second copy sent by a publisher comes with a new id and counts.
class MqttSubscriber {
public:
    MqttSubscriber(int port, const std::string& topic);
    ~MqttSubscriber();
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    bool connected();
    // Payloads received so far on topics ending in `topicEnd`, in order.
    std::vector<std::string> payloads(const std::string& topicEnd = "");

private:
    static void onConnect(mosquitto* client, void* self, int code);
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);

    mosquitto* client_ = nullptr;
    std::string topic_;
    std::mutex mutex_;
    bool connected_ = false;
    struct Received {
        int id;
        std::string topic;
        std::string payload;
    };
    std::vector<Received> received_;
};

}  // namespace kvt::test
