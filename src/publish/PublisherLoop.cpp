#include "publish/PublisherLoop.h"

#include <cstdio>

#include "core/RunFlags.h"
#include "publish/AlarmMessage.h"
#include "recording/DayFileRow.h"

namespace kvt {
namespace {

using std::chrono::milliseconds;

constexpr size_t kMostInFlight = 100;
constexpr std::chrono::seconds kLongestBackOff{30};
constexpr std::chrono::seconds kConnectLimit{20};
constexpr milliseconds kIdleWait{100};
constexpr milliseconds kFinalSendLimit{500};
constexpr uint64_t kMebibyte = uint64_t{1} << 20;

std::string brokerName(const PublishSettings& settings) {
    return settings.host + ":" + std::to_string(settings.port);
}

template <size_t Size>
void copyText(char (&field)[Size], const std::string& text) {
    std::snprintf(field, Size, "%s", text.c_str());
}

}  // namespace

PublisherLoop::PublisherLoop(const PublishSettings& settings, PublisherQueues& queues,
                             PublisherCounters& counters)
    : settings_(settings),
      stateTopic_(settings.topicPrefix + "/state"),
      queues_(queues),
      counters_(counters) {
    showLastError("");
}

void PublisherLoop::run(const std::string& spoolPath, const std::atomic<bool>& stop) {
    std::string problem;
    if (!spool_.open(spoolPath, uint64_t(settings_.spoolLimitMib) * kMebibyte, problem)) {
        std::string text = "the spool cannot be used (" + problem + "); publishing is off";
        counters_.problem.store(static_cast<int>(PublishProblem::Spool));
        showLastError(text);
        reportPublisherEvent(3, text.c_str());
        return;
    }
    while (!stop.load(std::memory_order_acquire)) {
        pass(Clock::now());
        link_.waitForEvents(moreToSend() ? milliseconds(0) : kIdleWait);
    }
    finish();
}

void PublisherLoop::pass(Clock::time_point now) {
    if (configuration_.refresh()) {
        for (auto& format : formats_) format.reset();
    }
    takeHandedOver();
    serviceLink(now);
    sendSpooled();
    if (state_ == LinkState::Connected) {
        State wanted = load(acquisitionActive) != 0 ? State::Measuring : State::Stopped;
        if (wanted != publishedState_) publishState(wanted);
    }
    showStatus();
}

void PublisherLoop::takeHandedOver() {
    HandedRow row;
    while (queues_.rows.pop(row)) spoolRow(row);
    HandedAlarm alarm;
    while (queues_.alarms.pop(alarm)) spoolAlarm(alarm);
    forgetDropped();
}

void PublisherLoop::spoolRow(const HandedRow& handed) {
    const int group = handed.group;
    RowTime time;
    double values[kPensPerGroup];
    if (group < 0 || group >= kGroupCount ||
        !parseRowTime(handed.row, static_cast<size_t>(handed.length), group, time) ||
        !parseRowValues(handed.row, static_cast<size_t>(handed.length), group, values)) {
        ++unreadable_;
        return;
    }
    const ConfigurationRecord& config = configuration_.record();
    if (!formats_[group]) {
        int mode = group == kHighSpeedGroup ? config.highSpeedRecording.storingMode
                                            : config.group(group).storingMode;
        formats_[group] = std::make_unique<RowMessageFormat>(group, storingModeName(mode),
                                                             penLabelsOf(config, group));
    }
    const CalendarDate date{handed.time.year, handed.time.month, handed.time.day};
    int milliseconds = rowMilliseconds(handed.row, time);
    int offset = rowOffsets_[group].offsetOf(date, time.hour, time.minute, time.second, milliseconds);
    char isoTime[kIsoTimeLength];
    formatIsoTime(isoTime, date, time.hour, time.minute, time.second, milliseconds, offset);
    message_.clear();
    formats_[group]->append(message_, isoTime, handed.row, values);
    spool_.append(settings_.topicPrefix + "/group/" + std::to_string(group), message_);
}

void PublisherLoop::spoolAlarm(const HandedAlarm& alarm) {
    if (alarm.group < 1 || alarm.group > kTrendGroupCount || alarm.pen < 0 ||
        alarm.pen >= kPensPerGroup || alarm.code < 0 || alarm.code > 3) {
        ++unreadable_;
        return;
    }
    const SystemTime& time = alarm.time;
    const CalendarDate date{time.year, time.month, time.day};
    int offset = alarmOffsets_.offsetOf(date, time.hour, time.minute, time.second, time.milliseconds);
    char isoTime[kIsoTimeLength];
    formatIsoTime(isoTime, date, time.hour, time.minute, time.second, time.milliseconds, offset);
    const PenSettings& pen = configuration_.record().pen(alarm.group, alarm.pen);
    spool_.append(settings_.topicPrefix + "/alarm",
                  alarmMessage(isoTime, alarm.group, alarm.pen, alarm.code, pen));
}

// Messages the spool dropped to make room are no longer waited for.
void PublisherLoop::forgetDropped() {
    while (!inFlight_.empty() && inFlight_.front().end <= spool_.first()) inFlight_.pop_front();
    if (sent_ < spool_.first()) sent_ = spool_.first();
}

void PublisherLoop::serviceLink(Clock::time_point now) {
    BrokerLink::Events events;
    link_.takeEvents(events);
    if (!events.acknowledged.empty()) acknowledge(events.acknowledged);
    if (state_ == LinkState::Waiting && now >= nextAttempt_) attempt(now);
    if (state_ == LinkState::Connecting) {
        if (events.connected) {
            connected();
        } else if (events.refusal != 0) {
            failed(PublishProblem::Refused, events.refusal, BrokerLink::refusalText(events.refusal), now);
        } else if (events.lost) {
            failed(PublishProblem::Unreachable, events.lostCode, BrokerLink::reasonText(events.lostCode),
                   now);
        } else if (now >= attemptDeadline_) {
            failed(PublishProblem::Unreachable, -1, "no answer", now);
        }
    }
    if (state_ == LinkState::Connected && events.lost) {
        failed(PublishProblem::Lost, events.lostCode, BrokerLink::reasonText(events.lostCode), now);
    }
}

void PublisherLoop::attempt(Clock::time_point now) {
    std::string problem;
    if (!link_.open(settings_, stateTopic_, problem)) {
        failed(PublishProblem::Unreachable, 0, problem, now);
        return;
    }
    state_ = LinkState::Connecting;
    attemptDeadline_ = now + kConnectLimit;
}

void PublisherLoop::connected() {
    state_ = LinkState::Connected;
    backOff_ = std::chrono::seconds(1);
    sent_ = spool_.first();
    inFlight_.clear();
    publishedState_ = State::Unknown;
    counters_.connected.store(true);
    counters_.problem.store(static_cast<int>(PublishProblem::None));
    showLastError("");
    if (!everConnected_) {
        reportPublisherEvent(6, ("connected to the broker " + brokerName(settings_)).c_str());
    } else if (reported_ != PublishProblem::None) {
        reportPublisherEvent(5, ("connected again to the broker " + brokerName(settings_) + "; " +
                                 std::to_string(spool_.messageCount()) + " spooled messages follow")
                                    .c_str());
    }
    everConnected_ = true;
    reported_ = PublishProblem::None;
}

// A failure is told once until its kind (or the broker's refusal code)
// changes: retries that fail alike add no lines.
void PublisherLoop::failed(PublishProblem problem, int code, const std::string& reason,
                           Clock::time_point now) {
    link_.close();
    inFlight_.clear();
    sent_ = spool_.first();
    counters_.connected.store(false);
    counters_.problem.store(static_cast<int>(problem));
    if (problem == PublishProblem::Lost) backOff_ = std::chrono::seconds(1);
    state_ = LinkState::Waiting;
    nextAttempt_ = now + backOff_;
    backOff_ = std::min(backOff_ * 2, kLongestBackOff);
    const char* what = problem == PublishProblem::Refused ? "refused by"
                       : problem == PublishProblem::Lost  ? "lost the connection to"
                                                          : "cannot reach";
    showLastError(std::string(what) + " the broker (" + reason + ")");
    bool sameAsTold = problem == reported_ && (problem != PublishProblem::Refused || code == reportedCode_);
    if (sameAsTold) return;
    reportPublisherEvent(4, (std::string(what) + " the broker " + brokerName(settings_) + " (" + reason +
                             "); rows are kept in the spool and sent once it connects")
                                .c_str());
    reported_ = problem;
    reportedCode_ = code;
}

void PublisherLoop::acknowledge(const std::vector<int>& ids) {
    for (int id : ids) {
        for (InFlight& message : inFlight_) {
            if (message.id == id) {
                message.acknowledged = true;
                break;
            }
        }
    }
    while (!inFlight_.empty() && inFlight_.front().acknowledged) {
        spool_.release(inFlight_.front().end);
        inFlight_.pop_front();
    }
    if (spool_.messageCount() == 0) sent_ = spool_.end();
}

bool PublisherLoop::moreToSend() const {
    return state_ == LinkState::Connected && sent_ < spool_.end() && inFlight_.size() < kMostInFlight;
}

void PublisherLoop::sendSpooled() {
    std::string topic;
    std::string payload;
    while (moreToSend()) {
        uint64_t next = 0;
        if (!spool_.read(sent_, topic, payload, next)) {
            spool_.dropAll();
            inFlight_.clear();
            sent_ = spool_.end();
            return;
        }
        int id = 0;
        if (!link_.publish(topic, payload, settings_.qos, false, id)) return;
        inFlight_.push_back({id, next, false});
        sent_ = next;
    }
}

void PublisherLoop::publishState(State state) {
    static const char* const kNames[] = {"", "measuring", "stopped", "offline"};
    int id = 0;
    if (link_.publish(stateTopic_, kNames[static_cast<int>(state)], settings_.qos, true, id)) {
        publishedState_ = state;
    }
}

// At the end: what was handed over is spooled, sent on for a moment, the
// state becomes "offline" and the connection ends cleanly (no last will).
void PublisherLoop::finish() {
    takeHandedOver();
    Clock::time_point deadline = Clock::now() + kFinalSendLimit;
    while (state_ == LinkState::Connected && spool_.messageCount() > 0 && Clock::now() < deadline) {
        serviceLink(Clock::now());
        sendSpooled();
        link_.waitForEvents(milliseconds(20));
    }
    if (state_ == LinkState::Connected) publishState(State::Offline);
    link_.close();
    counters_.connected.store(false);
    showStatus();
}

void PublisherLoop::showStatus() {
    counters_.spooled.store(spool_.messageCount(), std::memory_order_relaxed);
    counters_.dropped.store(spool_.droppedCount() + unreadable_, std::memory_order_relaxed);
    reportDrops();
}

void PublisherLoop::showLastError(const std::string& text) {
    PublisherTexts texts{};
    copyText(texts.broker, brokerName(settings_));
    copyText(texts.lastError, text);
    counters_.texts.store(texts);
}

// Messages dropped since the last look, one report per reason.
void PublisherLoop::reportDrops() {
    static const char* const kReasons[] = {
        "the spool is full; the oldest went first",
        "the spool file cannot be written",
        "the spool file was damaged",
        "rows or alarm events that could not be read",
        "the publisher fell behind the recording",
    };
    const uint64_t dropsNow[] = {
        spool_.droppedCount() - spool_.refusedCount() - spool_.damagedCount(), spool_.refusedCount(),
        spool_.damagedCount(), unreadable_, queues_.dropped.load(std::memory_order_relaxed)};
    for (size_t reason = 0; reason < std::size(kReasons); ++reason) {
        if (dropsNow[reason] <= toldDrops_[reason]) continue;
        reportPublisherEvent(4, kReasons[reason], dropsNow[reason] - toldDrops_[reason]);
        toldDrops_[reason] = dropsNow[reason];
    }
}

}  // namespace kvt
