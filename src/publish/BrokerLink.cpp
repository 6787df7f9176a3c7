#include "publish/BrokerLink.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace kvt {
namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kMostInFlight = 100;

void startLibrary() {
    static const bool started = [] {
        mosquitto_lib_init();
        return true;
    }();
    (void)started;
}

}  // namespace

BrokerLink::BrokerLink() { startLibrary(); }

BrokerLink::~BrokerLink() { close(); }

bool BrokerLink::open(const PublishSettings& settings, const std::string& stateTopic,
                      std::string& problem) {
    close();
    client_ = mosquitto_new(settings.clientId.c_str(), true, this);
    if (client_ == nullptr) {
        problem = std::strerror(errno);
        return false;
    }
    mosquitto_connect_callback_set(client_, onConnect);
    mosquitto_disconnect_callback_set(client_, onDisconnect);
    mosquitto_publish_callback_set(client_, onPublish);
    mosquitto_int_option(client_, MOSQ_OPT_SEND_MAXIMUM, kMostInFlight);
    mosquitto_will_set(client_, stateTopic.c_str(), 7, "offline", settings.qos, true);
    int result = MOSQ_ERR_SUCCESS;
    if (!settings.username.empty()) {
        result = mosquitto_username_pw_set(client_, settings.username.c_str(),
                                           settings.passwordFile.empty() ? nullptr
                                                                         : settings.password.c_str());
    }
    if (result == MOSQ_ERR_SUCCESS && !settings.caFile.empty()) {
        result = mosquitto_tls_set(client_, settings.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    }
    if (result == MOSQ_ERR_SUCCESS) {
        result = mosquitto_connect_async(client_, settings.host.c_str(), settings.port, kKeepAliveSeconds);
    }
    if (result == MOSQ_ERR_SUCCESS) result = mosquitto_loop_start(client_);
    if (result != MOSQ_ERR_SUCCESS) {
        problem = result == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(result);
        close();
        return false;
    }
    loopRunning_ = true;
    return true;
}

void BrokerLink::close() {
    if (client_ == nullptr) return;
    mosquitto_disconnect(client_);
    if (loopRunning_) mosquitto_loop_stop(client_, false);
    loopRunning_ = false;
    mosquitto_destroy(client_);
    client_ = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = Events{};
}

bool BrokerLink::publish(const std::string& topic, std::string_view payload, int qos, bool retain,
                         int& id) {
    if (client_ == nullptr) return false;
    return mosquitto_publish(client_, &id, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), qos, retain) == MOSQ_ERR_SUCCESS;
}

void BrokerLink::takeEvents(Events& events) {
    std::lock_guard<std::mutex> lock(mutex_);
    events = std::move(pending_);
    pending_ = Events{};
}

void BrokerLink::waitForEvents(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [this] {
        return woken_ || pending_.connected || pending_.lost || pending_.refusal != 0 ||
               !pending_.acknowledged.empty();
    });
    woken_ = false;
}

void BrokerLink::wake() {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
    changed_.notify_one();
}

void BrokerLink::onConnect(mosquitto*, void* self, int code) {
    auto* link = static_cast<BrokerLink*>(self);
    std::lock_guard<std::mutex> lock(link->mutex_);
    if (code == 0) {
        link->pending_.connected = true;
    } else {
        link->pending_.refusal = code;
    }
    link->changed_.notify_one();
}

void BrokerLink::onDisconnect(mosquitto*, void* self, int code) {
    auto* link = static_cast<BrokerLink*>(self);
    std::lock_guard<std::mutex> lock(link->mutex_);
    link->pending_.lost = true;
    link->pending_.lostCode = code;
    link->changed_.notify_one();
}

void BrokerLink::onPublish(mosquitto*, void* self, int id) {
    auto* link = static_cast<BrokerLink*>(self);
    std::lock_guard<std::mutex> lock(link->mutex_);
    link->pending_.acknowledged.push_back(id);
    link->changed_.notify_one();
}

const char* BrokerLink::refusalText(int code) { return mosquitto_connack_string(code); }

const char* BrokerLink::reasonText(int code) { return mosquitto_strerror(code); }

}  // namespace kvt
