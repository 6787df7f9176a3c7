#include "acquisition/SerialOpenReport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Paths.h"

namespace kvt {
namespace {

constexpr int kSerialPorts = 5;
constexpr int kReasonsPerPort = 8;

// errno values already told per port since it last opened.
int toldReasons[kSerialPorts][kReasonsPerPort];
int toldReasonCount[kSerialPorts];

bool validPort(int commPort) { return commPort >= 0 && commPort < kSerialPorts; }

// Remembers `error` for the port; false when it had been told already (or
// when the port has failed for too many reasons to keep track of).
bool firstTimeFor(int commPort, int error) {
    int& count = toldReasonCount[commPort];
    for (int index = 0; index < count; ++index) {
        if (toldReasons[commPort][index] == error) return false;
    }
    if (count == kReasonsPerPort) return false;
    toldReasons[commPort][count++] = error;
    return true;
}

// strerror_r comes in two forms; both end up as a text here.
[[maybe_unused]] const char* errorText(int, const char* buffer) { return buffer; }
[[maybe_unused]] const char* errorText(const char* text, const char*) { return text; }

const char* describeError(int error, char* buffer, size_t size) {
    buffer[0] = '\0';
    return errorText(strerror_r(error, buffer, size), buffer);
}

// What went wrong and what the user can do about it.
const char* reasonAndHint(int error, int commPort, bool throughLink, char* buffer, size_t size) {
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

void writeAll(const char* text, int length) {
    while (length > 0) {
        ssize_t written = ::write(STDERR_FILENO, text, static_cast<size_t>(length));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text += written;
        length -= static_cast<int>(written);
    }
}

}  // namespace

int formatSerialOpenFailure(char* line, int size, int commPort, const char* devicePath,
                            int error) {
    if (size <= 0) return 0;
    char target[1024];
    struct stat status{};
    bool throughLink = lstat(devicePath, &status) == 0 && S_ISLNK(status.st_mode);
    ssize_t targetLength = throughLink ? readlink(devicePath, target, sizeof target - 1) : -1;
    throughLink = targetLength > 0;
    char reasonBuffer[2400];
    const char* reason =
        reasonAndHint(error, commPort, throughLink, reasonBuffer, sizeof reasonBuffer);
    int length = 0;
    if (throughLink) {
        target[targetLength] = '\0';
        length = std::snprintf(line, size, "kvt936p: COM%d: cannot open %s (linked from %s): %s\n",
                               commPort + 1, target, devicePath, reason);
    } else {
        length = std::snprintf(line, size, "kvt936p: COM%d: cannot open %s: %s\n", commPort + 1,
                               devicePath, reason);
    }
    if (length < 0) return 0;
    if (length >= size) {  // cut, but still one whole line
        length = size - 1;
        if (length > 0) line[length - 1] = '\n';
    }
    return length;
}

void reportSerialOpenFailure(int commPort, const char* devicePath, int error) {
    if (!validPort(commPort) || !firstTimeFor(commPort, error)) return;
    char line[2560];
    writeAll(line, formatSerialOpenFailure(line, sizeof line, commPort, devicePath, error));
}

void noteSerialPortOpened(int commPort) {
    if (validPort(commPort)) toldReasonCount[commPort] = 0;
}

void forgetSerialOpenFailures() {
    for (int& count : toldReasonCount) count = 0;
}

}  // namespace kvt
