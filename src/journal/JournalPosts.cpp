#include "journal/JournalPosts.h"

#include <unistd.h>

#include <algorithm>

#include "journal/Journal.h"

namespace kvt {
namespace {

JournalEvent eventOf(JournalEventKind kind, int32_t number = 0, int64_t count = 0) {
    JournalEvent event;
    event.kind = kind;
    event.number = number;
    event.count = count;
    return event;
}

void postWithSubject(JournalEvent event, const char* subject, const char* detail = nullptr) {
    setJournalText(event.subject, subject);
    setJournalText(event.detail, detail);
    postJournalEvent(event);
}

}  // namespace

void journalProgramStarted() {
    postJournalEvent(eventOf(JournalEventKind::ProgramStarted, 0, getpid()));
}

void journalProgramEnded(int exitCode) {
    postJournalEvent(eventOf(JournalEventKind::ProgramEnded, exitCode));
}

void journalMeasurementStarted(const char* how) {
    postWithSubject(eventOf(JournalEventKind::MeasurementStarted), how);
}

void journalMeasurementStopped() { postJournalEvent(eventOf(JournalEventKind::MeasurementStopped)); }

void journalMeasurementStartFailed(int silentNode, const char* gateway) {
    postWithSubject(eventOf(JournalEventKind::MeasurementStartFailed, silentNode), gateway);
}

void journalSerialOpened(int commPort, const char* devicePath) {
    postWithSubject(eventOf(JournalEventKind::SerialOpened, commPort), devicePath);
}

void journalSerialOpenFailed(int commPort, const char* devicePath, const char* linkTarget,
                             int error) {
    JournalEvent event = eventOf(JournalEventKind::SerialOpenFailed, commPort);
    event.reason = error;
    postWithSubject(event, devicePath, linkTarget);
}

void journalSerialReopened(int commPort, const char* devicePath, int64_t failedAttempts) {
    postWithSubject(eventOf(JournalEventKind::SerialReopened, commPort, failedAttempts),
                    devicePath);
}

void journalGatewayConnected(const char* address) {
    postWithSubject(eventOf(JournalEventKind::GatewayConnected), address);
}

void journalGatewayLost(const char* address, GatewayLoss reason, const char* detail) {
    JournalEvent event = eventOf(JournalEventKind::GatewayLost);
    event.reason = reason;
    postWithSubject(event, address, detail);
}

void journalGatewayReconnected(const char* address, int64_t failedAttempts) {
    postWithSubject(eventOf(JournalEventKind::GatewayReconnected, 0, failedAttempts), address);
}

void journalNodeSilent(int node, ExchangeFailure reason) {
    JournalEvent event = eventOf(JournalEventKind::NodeSilent, node);
    event.reason = reason;
    postJournalEvent(event);
}

void journalNodeAnswersAgain(int node, int64_t failedExchanges) {
    postJournalEvent(eventOf(JournalEventKind::NodeAnswersAgain, node, failedExchanges));
}

void journalDiskSpace(bool low, int64_t freeMiB, const char* dataFolder) {
    JournalEventKind kind = low ? JournalEventKind::DiskLow : JournalEventKind::DiskSpaceBack;
    postWithSubject(eventOf(kind, 0, freeMiB), dataFolder);
}

void journalSettingsKept(const char* settingsPath, const char* keptAs, int error) {
    if (keptAs != nullptr) {
        postWithSubject(eventOf(JournalEventKind::SettingsKept), settingsPath, keptAs);
        return;
    }
    JournalEvent event = eventOf(JournalEventKind::SettingsNotKept);
    event.reason = error;
    postWithSubject(event, settingsPath);
}

void journalMessageShown(std::string_view englishText, bool question, MessageSeverity severity) {
    JournalEvent event = eventOf(JournalEventKind::MessageShown, question ? 1 : 0);
    event.reason = severity == MessageSeverity::Error ? 3 : 0;
    char text[kJournalSubjectBytes];
    size_t length = std::min(englishText.size(), sizeof text - 1);
    std::copy_n(englishText.data(), length, text);
    text[length] = '\0';
    postWithSubject(event, text);
}

void journalWriteFailure(const char* file, const char* reason, uint64_t droppedRows,
                         uint64_t droppedAlarmRecords) {
    JournalEvent event = eventOf(JournalEventKind::WriteFailed, 0,
                                 static_cast<int64_t>(droppedRows));
    event.count2 = static_cast<int64_t>(droppedAlarmRecords);
    postWithSubject(event, file, reason);
}

void journalWriteRecovered(const char* file, uint64_t droppedRows, uint64_t droppedAlarmRecords) {
    JournalEvent event = eventOf(JournalEventKind::WriteRecovered, 0,
                                 static_cast<int64_t>(droppedRows));
    event.count2 = static_cast<int64_t>(droppedAlarmRecords);
    postWithSubject(event, file);
}

void journalPublisherReport(int priority, const char* text, uint64_t dropped) {
    using Kind = JournalEventKind;
    Kind kind = dropped > 0     ? Kind::PublisherDropped
                : priority <= 3 ? Kind::PublisherError
                : priority == 4 ? Kind::PublisherWarning
                : priority == 5 ? Kind::PublisherNotice
                                : Kind::PublisherInfo;
    postWithSubject(eventOf(kind, 0, static_cast<int64_t>(dropped)), text);
}

void journalDroppedAtEnd(int group, uint64_t count, const char* file, const char* reason) {
    JournalEvent event = eventOf(JournalEventKind::DroppedAtEnd, group, static_cast<int64_t>(count));
    postWithSubject(event, file, reason);
}

}  // namespace kvt
