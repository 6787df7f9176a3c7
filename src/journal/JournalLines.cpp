#include "journal/JournalLines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ProgramVersion.h"
#include "platform/Paths.h"

namespace kvt {
namespace {

// strerror_r comes in two forms; both end up as a text here.
[[maybe_unused]] const char* errorText(int, const char* buffer) { return buffer; }
[[maybe_unused]] const char* errorText(const char* text, const char*) { return text; }

const char* describeError(int error, char* buffer, int size) {
    buffer[0] = '\0';
    return errorText(strerror_r(error, buffer, static_cast<size_t>(size)), buffer);
}

const char* exchangeFailureText(int reason) {
    switch (reason) {
    case kWrongAnswer:
        return "wrong answer (length or address)";
    case kCrcError:
        return "CRC error";
    case kExceptionAnswer:
        return "exception answer";
    default:
        return "no answer in time";
    }
}

const char* gatewayLossText(int reason) {
    switch (reason) {
    case kGatewaySendFailed:
        return "connection lost: the request could not be sent";
    case kGatewayAnswerIncomplete:
        return "connection lost: no whole answer in time";
    default:
        return "cannot connect";
    }
}

int formatSerialOpenFailure(const JournalEvent& event, char* text, int size) {
    char reasonBuffer[2400];
    bool throughLink = event.detail[0] != '\0';
    const char* reason = serialOpenReason(event.reason, event.number, throughLink, reasonBuffer,
                                          sizeof reasonBuffer);
    if (throughLink) {
        return std::snprintf(text, size, "COM%d: cannot open %s (linked from %s): %s",
                             event.number + 1, event.detail, event.subject, reason);
    }
    return std::snprintf(text, size, "COM%d: cannot open %s: %s", event.number + 1, event.subject,
                         reason);
}

int formatGatewayLoss(const JournalEvent& event, char* text, int size) {
    const char* loss = gatewayLossText(event.reason);
    if (event.detail[0] == '\0') return std::snprintf(text, size, "gateway %s: %s", event.subject, loss);
    return std::snprintf(text, size, "gateway %s: %s: %s", event.subject, loss, event.detail);
}

int formatMore(const JournalEvent& event, char* text, int size);

// "group 3: 40 rows could not be written before the end and are dropped
// (cannot write FILE: REASON)"; the bracket only when a failure was in force.
int formatDroppedAtEnd(const JournalEvent& event, char* text, int size) {
    char what[48];
    if (event.number < 0) {
        std::snprintf(what, sizeof what, "alarm history: %lld alarm records",
                      static_cast<long long>(event.count));
    } else if (event.number == 0) {
        std::snprintf(what, sizeof what, "high-speed group: %lld rows",
                      static_cast<long long>(event.count));
    } else {
        std::snprintf(what, sizeof what, "group %d: %lld rows", event.number,
                      static_cast<long long>(event.count));
    }
    const char* dropped = "could not be written before the end and are dropped";
    if (event.subject[0] == '\0') return std::snprintf(text, size, "%s %s", what, dropped);
    return std::snprintf(text, size, "%s %s (cannot write %s: %s)", what, dropped, event.subject,
                         event.detail);
}

// The text of the event, without prefix or line feed.
int formatText(const JournalEvent& event, char* text, int size) {
    long long count = event.count;
    switch (event.kind) {
    case JournalEventKind::ProgramStarted:
        return std::snprintf(text, size, "kvt936p " KVT_PROGRAM_VERSION " started (process %lld)",
                             count);
    case JournalEventKind::ProgramEnded:
        return std::snprintf(text, size, "kvt936p " KVT_PROGRAM_VERSION " ended (exit code %d)",
                             event.number);
    case JournalEventKind::MeasurementStarted:
        return std::snprintf(text, size, "measurement started in %s", event.subject);
    case JournalEventKind::MeasurementStopped:
        return std::snprintf(text, size, "measurement stopped");
    case JournalEventKind::MeasurementStartFailed:
        if (event.number == 0) {
            return std::snprintf(text, size, "measurement did not start: no connection to gateway %s",
                                 event.subject);
        }
        return std::snprintf(text, size, "measurement did not start: node %d does not answer",
                             event.number);
    case JournalEventKind::SerialOpened:
        return std::snprintf(text, size, "COM%d open: %s", event.number + 1, event.subject);
    case JournalEventKind::SerialOpenFailed:
        return formatSerialOpenFailure(event, text, size);
    case JournalEventKind::SerialReopened:
        return std::snprintf(text, size, "COM%d open again after %lld failed attempts: %s",
                             event.number + 1, count, event.subject);
    case JournalEventKind::GatewayConnected:
        return std::snprintf(text, size, "gateway %s connected", event.subject);
    case JournalEventKind::GatewayLost:
        return formatGatewayLoss(event, text, size);
    case JournalEventKind::GatewayReconnected:
        if (count == 0) return std::snprintf(text, size, "gateway %s connected again", event.subject);
        return std::snprintf(text, size, "gateway %s connected again after %lld failed attempts",
                             event.subject, count);
    case JournalEventKind::NodeSilent:
        return std::snprintf(text, size, "node %d stopped answering: %s", event.number,
                             exchangeFailureText(event.reason));
    case JournalEventKind::NodeAnswersAgain:
        return std::snprintf(text, size, "node %d answers again after %lld failed exchanges",
                             event.number, count);
    default:
        return formatMore(event, text, size);
    }
}

int formatMore(const JournalEvent& event, char* text, int size) {
    long long count = event.count;
    long long count2 = event.count2;
    char errorBuffer[128];
    switch (event.kind) {
    case JournalEventKind::DiskLow:
        return std::snprintf(text, size, "disk space low: %lld MiB free for %s", count,
                             event.subject);
    case JournalEventKind::DiskSpaceBack:
        return std::snprintf(text, size, "disk space back: %lld MiB free for %s", count,
                             event.subject);
    case JournalEventKind::SettingsKept:
        return std::snprintf(text, size, "settings file %s was damaged; kept as %s",
                             event.subject, event.detail);
    case JournalEventKind::SettingsNotKept:
        return std::snprintf(text, size, "settings file %s was damaged and could not be kept: %s",
                             event.subject,
                             describeError(event.reason, errorBuffer, sizeof errorBuffer));
    case JournalEventKind::MessageShown:
        return std::snprintf(text, size, "%s: %s", event.number != 0 ? "question" : "message",
                             event.subject);
    case JournalEventKind::WriteFailed:
        return std::snprintf(text, size,
                             "cannot write %s: %s (%lld rows and %lld alarm records dropped so far)",
                             event.subject, event.detail, count, count2);
    case JournalEventKind::WriteRecovered:
        return std::snprintf(text, size,
                             "writing %s works again (%lld rows and %lld alarm records dropped)",
                             event.subject, count, count2);
    case JournalEventKind::EventsLost:
        return std::snprintf(text, size, "journal: %lld events lost while it fell behind", count);
    case JournalEventKind::PublisherError:
    case JournalEventKind::PublisherWarning:
    case JournalEventKind::PublisherNotice:
    case JournalEventKind::PublisherInfo:
        return std::snprintf(text, size, "publish: %s", event.subject);
    case JournalEventKind::PublisherDropped:
        return std::snprintf(text, size, "publish: %lld messages dropped: %s", count, event.subject);
    case JournalEventKind::DroppedAtEnd:
        return formatDroppedAtEnd(event, text, size);
    default:
        return std::snprintf(text, size, "event %d", static_cast<int>(event.kind));
    }
}

}  // namespace

int journalPriority(JournalEventKind kind) {
    switch (kind) {
    case JournalEventKind::MeasurementStartFailed:
    case JournalEventKind::SerialOpenFailed:
    case JournalEventKind::GatewayLost:
    case JournalEventKind::SettingsNotKept:
    case JournalEventKind::WriteFailed:
    case JournalEventKind::PublisherError:
    case JournalEventKind::DroppedAtEnd:
        return 3;
    case JournalEventKind::NodeSilent:
    case JournalEventKind::DiskLow:
    case JournalEventKind::SettingsKept:
    case JournalEventKind::EventsLost:
    case JournalEventKind::PublisherWarning:
    case JournalEventKind::PublisherDropped:
        return 4;
    case JournalEventKind::SerialOpened:
    case JournalEventKind::GatewayConnected:
    case JournalEventKind::PublisherInfo:
        return 6;
    default:
        return 5;
    }
}

int formatJournalLine(const JournalEvent& event, int times, char* line, int size) {
    if (size < 8) return 0;
    bool graveMessage = event.kind == JournalEventKind::MessageShown && event.reason != 0;
    int priority = graveMessage ? event.reason : journalPriority(event.kind);
    int length = std::snprintf(line, size, "<%d>", priority);
    int text = formatText(event, line + length, size - length);
    if (text > 0) length += text;
    if (length < size && times > 0) {
        int more = std::snprintf(line + length, size - length, " [%d more time%s in the last minute]",
                                 times, times == 1 ? "" : "s");
        if (more > 0) length += more;
    }
    if (length > size - 2) length = size - 2;  // cut, but still one whole line
    // A line break or other control byte in a text (a file name may hold
    // one) must not start a line of its own.
    for (int index = 0; index < length; ++index) {
        if (static_cast<unsigned char>(line[index]) < 0x20) line[index] = ' ';
    }
    line[length++] = '\n';
    line[length] = '\0';
    return length;
}

const char* serialOpenReason(int error, int commPort, bool throughLink, char* buffer, int size) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied; join the dialout group (sudo usermod -aG dialout $USER) "
               "and log in again";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (throughLink) return "no such device; is it plugged in?";
        std::snprintf(buffer, size,
                      "no such device; link the port as %s/com%d, for example "
                      "ln -s /dev/serial/by-id/... %s/com%d",
                      configFolderAsTyped(), commPort + 1, configFolderAsTyped(), commPort + 1);
        return buffer;
    case EBUSY:
        return "in use by another program";
    case ENOTTY:
        return "not a serial device";
    default:
        return describeError(error, buffer, size);
    }
}

}  // namespace kvt
