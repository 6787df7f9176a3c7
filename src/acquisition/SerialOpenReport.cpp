#include "acquisition/SerialOpenReport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "journal/JournalPosts.h"

namespace kvt {
namespace {

constexpr int kSerialPorts = 5;
constexpr int kReasonsPerPort = 8;

struct PortReports {
    int toldReasons[kReasonsPerPort];  // errno values told since the port last opened
    int toldReasonCount;
    int64_t failedAttempts;  // since the port last opened
    bool openTold;           // the run's first open has been told
};

PortReports ports[kSerialPorts];

bool validPort(int commPort) { return commPort >= 0 && commPort < kSerialPorts; }

// Remembers `error` for the port; false when it had been told already (or
// when the port has failed for too many reasons to keep track of).
bool firstTimeFor(PortReports& port, int error) {
    for (int index = 0; index < port.toldReasonCount; ++index) {
        if (port.toldReasons[index] == error) return false;
    }
    if (port.toldReasonCount == kReasonsPerPort) return false;
    port.toldReasons[port.toldReasonCount++] = error;
    return true;
}

}  // namespace

void reportSerialOpenFailure(int commPort, const char* devicePath, int error) {
    if (!validPort(commPort)) return;
    PortReports& port = ports[commPort];
    ++port.failedAttempts;
    if (!firstTimeFor(port, error)) return;
    // The device behind the user's link is what the user must look at.
    char target[1024];
    struct stat status {};
    bool throughLink = lstat(devicePath, &status) == 0 && S_ISLNK(status.st_mode);
    ssize_t targetLength = throughLink ? readlink(devicePath, target, sizeof target - 1) : -1;
    if (targetLength > 0) target[targetLength] = '\0';
    journalSerialOpenFailed(commPort, devicePath, targetLength > 0 ? target : nullptr, error);
}

void noteSerialPortOpened(int commPort, const char* devicePath) {
    if (!validPort(commPort)) return;
    PortReports& port = ports[commPort];
    if (port.failedAttempts > 0) {
        journalSerialReopened(commPort, devicePath, port.failedAttempts);
    } else if (!port.openTold) {
        journalSerialOpened(commPort, devicePath);
    }
    port.openTold = true;
    port.failedAttempts = 0;
    port.toldReasonCount = 0;
}

void forgetSerialOpenFailures() {
    for (PortReports& port : ports) port = PortReports{};
}

}  // namespace kvt
