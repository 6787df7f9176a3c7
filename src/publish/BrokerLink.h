#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "publish/PublishSettings.h"

struct mosquitto;

namespace kvt {

// One connection to the broker through libmosquitto, whose own thread runs
// the network side; what it reports (connected, refused, lost, messages
// acknowledged) is collected here for the publisher thread to take. A
// connection that is lost is not taken up again by the library: the
// publisher closes it and makes a new one after its back-off, so that it
// alone decides what is sent again, and in which order.
class BrokerLink {
public:
    // What happened since the last takeEvents().
    struct Events {
        bool connected = false;
        int refusal = 0;     // CONNACK code when the broker refused
        bool lost = false;   // the connection ended (or never came about)
        int lostCode = 0;    // libmosquitto's reason
        std::vector<int> acknowledged;  // message ids
    };

    BrokerLink();
    ~BrokerLink();
    BrokerLink(const BrokerLink&) = delete;
    BrokerLink& operator=(const BrokerLink&) = delete;

    // Starts connecting, with `stateTopic` "offline" (retained) as the last
    // will. False, with `problem`, when it failed at once.
    bool open(const PublishSettings& settings, const std::string& stateTopic, std::string& problem);
    // Ends the connection (if any) and the library's thread.
    void close();
    bool isOpen() const { return client_ != nullptr; }

    // Hands a message to the library; its id is acknowledged once the
    // broker has it (QoS 1 and 2) or once it is sent (QoS 0). False when
    // the library refused it.
    bool publish(const std::string& topic, std::string_view payload, int qos, bool retain, int& id);

    void takeEvents(Events& events);
    // Sleeps until an event comes, wake() is called, or `timeout` passes.
    void waitForEvents(std::chrono::milliseconds timeout);
    void wake();

    static const char* refusalText(int code);
    static const char* reasonText(int code);

private:
    static void onConnect(mosquitto*, void* self, int code);
    static void onDisconnect(mosquitto*, void* self, int code);
    static void onPublish(mosquitto*, void* self, int id);

    mosquitto* client_ = nullptr;
    bool loopRunning_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    Events pending_;
    bool woken_ = false;
};

}  // namespace kvt
