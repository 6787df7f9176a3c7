#pragma once
#include <cstdint>

namespace kvt {

// What the journal tells, one line each (JournalLines.h has the texts).
enum class JournalEventKind : uint8_t {
    ProgramStarted,          // count: process id
    ProgramEnded,            // number: exit code
    MeasurementStarted,      // subject: the mode and the link ("normal mode on COM1")
    MeasurementStopped,
    MeasurementStartFailed,  // number: silent node, or 0 when the gateway did not connect; subject: gateway address
    SerialOpened,            // number: COM port (0-4); subject: device path
    SerialOpenFailed,        // number: COM port; reason: errno; subject: device path; detail: link target or ""
    SerialReopened,          // number: COM port; count: failed attempts; subject: device path
    GatewayConnected,        // subject: gateway address
    GatewayLost,             // reason: GatewayLoss; subject: gateway address; detail: error text
    GatewayReconnected,      // count: failed connects; subject: gateway address
    NodeSilent,              // number: node; reason: ExchangeFailure
    NodeAnswersAgain,        // number: node; count: failed exchanges in between
    DiskLow,                 // count: free MiB; subject: data folder
    DiskSpaceBack,           // count: free MiB; subject: data folder
    SettingsKept,            // subject: settings file; detail: the copy kept
    SettingsNotKept,         // reason: errno; subject: settings file
    MessageShown,            // number: 1 = a question (OK/Cancel); reason: priority, 0 = notice; subject: the English text
    WriteFailed,             // subject: file; detail: reason; count: rows dropped; count2: alarm records dropped
    WriteRecovered,          // subject: file; count: rows dropped; count2: alarm records dropped
    EventsLost,              // count: events the full ring turned away
    PublisherError,          // subject: the publisher's text (the next three alike,
    PublisherWarning,        // by the priority it gave)
    PublisherNotice,
    PublisherInfo,
    PublisherDropped,        // count: messages dropped; subject: why
    DroppedAtEnd,            // number: group 0-10, or -1 for alarm records; count: rows or records; subject: file or ""; detail: reason
};

// Why the gateway connection went (JournalEventKind::GatewayLost).
enum GatewayLoss : int32_t {
    kGatewayConnectFailed = 1,
    kGatewaySendFailed = 2,
    kGatewayAnswerIncomplete = 3,
};

// Why one exchange with a node failed (JournalEventKind::NodeSilent).
enum ExchangeFailure : int32_t {
    kNoAnswer = 1,        // nothing, or not all of the answer, in time
    kWrongAnswer = 2,     // wrong length, or an answer for another node or request
    kCrcError = 3,
    kExceptionAnswer = 4,
};

constexpr int kJournalSubjectBytes = 256;
constexpr int kJournalDetailBytes = 160;

// One event as it travels from any thread to the journal's writer: fixed
// size, plain data, texts cut to their fields.
struct JournalEvent {
    JournalEventKind kind = JournalEventKind::ProgramStarted;
    int32_t number = 0;
    int32_t reason = 0;
    int64_t count = 0;
    int64_t count2 = 0;
    int64_t monotonicMs = 0;  // when it happened; stamped when posted
    char subject[kJournalSubjectBytes] = {};
    char detail[kJournalDetailBytes] = {};
};

// Copies UTF-8 `text` into a field, cut to fit before a whole character;
// null gives "".
template <int Size>
void setJournalText(char (&field)[Size], const char* text) {
    int index = 0;
    if (text != nullptr) {
        for (; index < Size - 1 && text[index] != '\0'; ++index) field[index] = text[index];
        while (index > 0 && (static_cast<unsigned char>(text[index]) & 0xC0) == 0x80) --index;
    }
    field[index] = '\0';
}

}  // namespace kvt
