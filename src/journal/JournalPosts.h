#pragma once
#include <cstdint>
#include <string_view>

#include "journal/JournalEvent.h"
#include "platform/MessageBox.h"

namespace kvt {

// The journal's events, one call each, for the threads that see them
// happen. Every call hands a fixed-size event to the journal's writer
// (postJournalEvent): none blocks or allocates. Texts are cut to their
// fields.

void journalProgramStarted();
void journalProgramEnded(int exitCode);

// `how`: the mode and the link, as "normal mode on COM1".
void journalMeasurementStarted(const char* how);
void journalMeasurementStopped();
// `silentNode` 1-31, or 0 when the gateway at `gateway` did not connect.
void journalMeasurementStartFailed(int silentNode, const char* gateway);

// COM<commPort + 1> at `devicePath`; `linkTarget` is what the user's
// ~/.config/kvt936p/comN (or ~/.kvt936p/comN) link points at, or null; `error` an errno value.
void journalSerialOpened(int commPort, const char* devicePath);
void journalSerialOpenFailed(int commPort, const char* devicePath, const char* linkTarget,
                             int error);
void journalSerialReopened(int commPort, const char* devicePath, int64_t failedAttempts);

// The gateway at `address` ("a.b.c.d:502"); `detail` (or null) says more
// about a loss, such as the system's error text.
void journalGatewayConnected(const char* address);
void journalGatewayLost(const char* address, GatewayLoss reason, const char* detail);
void journalGatewayReconnected(const char* address, int64_t failedAttempts);

void journalNodeSilent(int node, ExchangeFailure reason);
void journalNodeAnswersAgain(int node, int64_t failedExchanges);

void journalDiskSpace(bool low, int64_t freeMiB, const char* dataFolder);

// A damaged settings file kept as `keptAs`; null when it could not be
// kept, for the reason `error` (an errno value).
void journalSettingsKept(const char* settingsPath, const char* keptAs, int error);

// A message box as the window shows it (or as a recorder without a window
// would have), by its English text; an error box is told as an error.
void journalMessageShown(std::string_view englishText, bool question,
                         MessageSeverity severity = MessageSeverity::Notice);

// Rows or alarm records of `file` cannot be written for `reason` (a text
// such as the system's error text); the counts are what had to be
// dropped so far in this outage. Meant to be posted once per outage.
void journalWriteFailure(const char* file, const char* reason, uint64_t droppedRows,
                         uint64_t droppedAlarmRecords);
// Writing `file` works again; the counts are what the outage dropped.
void journalWriteRecovered(const char* file, uint64_t droppedRows, uint64_t droppedAlarmRecords);
// At the end, `count` rows of `group` (0-10; -1: alarm records) were still
// waiting and go with the process; `file` and `reason` are the write
// failure in force, or null when none was (the disk was only too slow).
void journalDroppedAtEnd(int group, uint64_t count, const char* file, const char* reason);

// What the MQTT publisher tells: `text` with its syslog `priority`, or,
// with `dropped` above 0, that many messages dropped for the reason `text`
// (summed up like other repeated failures).
void journalPublisherReport(int priority, const char* text, uint64_t dropped);

}  // namespace kvt
