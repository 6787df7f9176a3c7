#pragma once
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <string>

#include "core/PublishedConfiguration.h"
#include "export/IsoTime.h"
#include "export/RowMessage.h"
#include "publish/BrokerLink.h"
#include "publish/Publisher.h"
#include "publish/PublisherQueues.h"
#include "publish/PublishSettings.h"
#include "publish/Spool.h"

namespace kvt {

// The publisher thread's work: hand-overs into the spool, the spool to the
// broker, the connection with its back-off, the state message.
class PublisherLoop {
public:
    using Clock = std::chrono::steady_clock;

    PublisherLoop(const PublishSettings& settings, PublisherQueues& queues, PublisherCounters& counters);

    // The thread's body, until `stop` is set. The spool lives at
    // `spoolPath`.
    void run(const std::string& spoolPath, const std::atomic<bool>& stop);
    // Any thread: cuts the current wait short.
    void wake() { link_.wake(); }

private:
    enum class LinkState { Waiting, Connecting, Connected };
    struct InFlight {
        int id;
        uint64_t end;  // spool position after the message
        bool acknowledged;
    };

    void pass(Clock::time_point now);
    void takeHandedOver();
    void spoolRow(const HandedRow& row);
    void spoolAlarm(const HandedAlarm& alarm);
    void serviceLink(Clock::time_point now);
    void attempt(Clock::time_point now);
    void connected();
    void failed(PublishProblem problem, int code, const std::string& reason, Clock::time_point now);
    void acknowledge(const std::vector<int>& ids);
    void forgetDropped();
    void sendSpooled();
    enum class State { Unknown, Measuring, Stopped, Offline };
    void publishState(State state);
    void finish();
    void showStatus();
    void showLastError(const std::string& text);
    void reportDrops();
    bool moreToSend() const;

    PublishSettings settings_;
    std::string stateTopic_;
    PublisherQueues& queues_;
    PublisherCounters& counters_;
    Spool spool_;
    BrokerLink link_;
    ConfigurationSnapshot configuration_;
    std::unique_ptr<RowMessageFormat> formats_[kGroupCount];
    RowOffsets rowOffsets_[kGroupCount];
    RowOffsets alarmOffsets_;
    std::string message_;

    LinkState state_ = LinkState::Waiting;
    Clock::time_point nextAttempt_{};
    Clock::time_point attemptDeadline_{};
    std::chrono::seconds backOff_{1};
    uint64_t sent_ = 0;  // spool position of the next message to send
    std::deque<InFlight> inFlight_;
    State publishedState_ = State::Unknown;
    bool everConnected_ = false;
    PublishProblem reported_ = PublishProblem::None;
    int reportedCode_ = 0;
    uint64_t unreadable_ = 0;
    // Drops told so far, by reason: a full spool, a spool file that could
    // not be written or was damaged, items that could not be read, a full
    // hand-over.
    uint64_t toldDrops_[5] = {};
};

}  // namespace kvt
