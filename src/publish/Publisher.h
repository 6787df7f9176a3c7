#pragma once
#include <cstdint>

#include "platform/SystemTime.h"

namespace kvt {

// Publishing to an MQTT broker, off unless publish.conf configures it (see
// PublishSettings): every row the recording writer wrote on
// <prefix>/group/<n>, every alarm history event on <prefix>/alarm, and the
// recorder's state, retained, on <prefix>/state ("measuring" while an
// acquisition run is active, "stopped", and "offline" as the last will and
// at the end). Rows and events reach the publisher thread through
// fixed-size hand-overs; it turns them into JSON messages, keeps them in
// the spool file of the data folder until the broker acknowledged them and
// sends them in order whenever a connection stands. A broker that is away,
// slow or refusing never holds up acquisition, recording or the window.

// Why the publisher is not connected, as last reported.
enum class PublishProblem { None, Configuration, Spool, Unreachable, Refused, Lost };

constexpr int kBrokerNameBytes = 272;   // "host:port"
constexpr int kPublishErrorBytes = 192;

struct PublisherStatus {
    bool configured = false;  // publish.conf was valid at start
    bool connected = false;
    uint64_t spooledMessages = 0;  // not yet acknowledged by the broker
    uint64_t droppedMessages = 0;  // lost to a full spool or hand-over
    PublishProblem problem = PublishProblem::None;
    char broker[kBrokerNameBytes] = {};         // "host:port"
    char lastError[kPublishErrorBytes] = {};  // why it is not connected; "" while it is
};

// Any thread; without locks (the texts are read as a seqlock snapshot).
PublisherStatus publisherStatus();

// Reads publish.conf and, when it is valid, starts the publisher thread and
// takes recorded rows and alarm events from then on. An absent file leaves
// publishing off silently; an invalid one is reported once and leaves it
// off. Nothing when the publisher runs already.
void startPublisher();

// The name of the publisher thread; libmosquitto's network thread beside it
// is "mosquitto loop".
constexpr const char* kPublisherThreadName = "kvt-publish";

// Ends the publisher thread: what was handed over goes into the spool,
// which is sent on for at most a moment if a connection stands, the state
// becomes "offline", and the connection ends. Waits at most
// kPublisherStopLimitMs. Safe to call when it was never started.
constexpr int kPublisherStopLimitMs = 2000;
void stopPublisher();

// The hand-over entry points (registered as recorded outlets while the
// publisher runs): a row of a day file as written, line feed included, with
// the sample's time stamp; an alarm event as the alarm history gets it.
// Never block or allocate; a full hand-over drops the item and counts it.
void publishRow(int group, const SystemTime& time, const char* row, int length);
void publishAlarm(int group, int pen, const SystemTime& time, int code);

// Where the publisher's reports go: one line per event, with its syslog
// priority (3 error, 4 warning, 5 notice, 6 info). A failure to connect is
// told once until its kind changes, the connection once when it stands
// (again). `dropped` above 0 makes the report a count of messages dropped
// since the last such report for the reason in `text`, for the receiver to
// sum up. Standard error by default, as "<priority>kvt936p: publish: text".
using PublisherReportSink = void (*)(int priority, const char* text, uint64_t dropped);
void setPublisherReportSink(PublisherReportSink sink);
void reportPublisherEvent(int priority, const char* text, uint64_t dropped = 0);

}  // namespace kvt
