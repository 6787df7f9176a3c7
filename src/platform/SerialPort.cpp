#include "platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/Clock.h"

namespace kvt {
namespace {

// Major device numbers of pseudo-terminal slaves (/dev/pts/*).
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

constexpr int64_t kMicrosecondsPerSecond = 1000000;

int64_t monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kMicrosecondsPerSecond + now.tv_nsec / 1000;
}

// Time `characters` take on the line.
int64_t lineMicroseconds(int characters) {
    return characters * kSerialBitsPerCharacter * kMicrosecondsPerSecond / kSerialBaud;
}

void sleepUntilMicroseconds(int64_t until) {
    timespec wake{static_cast<time_t>(until / kMicrosecondsPerSecond),
                  static_cast<long>(until % kMicrosecondsPerSecond) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
    }
}

int remainingMs(int64_t deadline) {
    int64_t left = deadline - monotonicMilliseconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

enum class Input { Ready, HungUp, None };

// Waits until input arrives, the other side hangs up, or the deadline passes.
Input waitForInput(int descriptor, int64_t deadline) {
    for (;;) {
        pollfd entry{descriptor, POLLIN, 0};
        int result = poll(&entry, 1, remainingMs(deadline));
        if (result > 0) {
            // A hung-up terminal polls readable too, and reads nothing.
            if (entry.revents & (POLLHUP | POLLERR)) return Input::HungUp;
            return (entry.revents & POLLIN) != 0 ? Input::Ready : Input::None;
        }
        if (result == 0 || errno != EINTR) return Input::None;
    }
}

// Waits until the descriptor is ready for `events` or the deadline passes.
bool waitReady(int descriptor, short events, int64_t deadline) {
    for (;;) {
        pollfd entry{descriptor, events, 0};
        int result = poll(&entry, 1, remainingMs(deadline));
        if (result > 0) return (entry.revents & (events | POLLERR | POLLHUP)) != 0;
        if (result == 0) return false;
        if (errno != EINTR) return false;
    }
}

// Sleeps a few milliseconds, never past the deadline; false once it has passed.
bool pauseBeforeDeadline(int64_t deadline) {
    int left = remainingMs(deadline);
    if (left == 0) return false;
    timespec pause{0, (left < 5 ? left : 5) * 1000000L};
    nanosleep(&pause, nullptr);
    return true;
}

void configureTermios(termios& settings) {
    cfmakeraw(&settings);
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | PARENB | PARODD | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

}  // namespace

bool isPseudoTerminal(int descriptor) {
    struct stat status{};
    if (fstat(descriptor, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
    unsigned deviceMajor = major(status.st_rdev);
    return deviceMajor >= kPtySlaveMajorFirst && deviceMajor <= kPtySlaveMajorLast;
}

SerialPort::~SerialPort() { close(); }

int SerialPort::open(const char* devicePath) {
    close();
    openError_ = 0;
    int descriptor = ::open(devicePath, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return fail(errno);
    descriptor_ = descriptor;
    if (!isatty(descriptor)) return fail(ENOTTY);
    // Exclusive use: another recorder (or anything honouring the lock) that
    // holds the port makes this open fail instead of sharing the line.
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) return fail(EBUSY);
    ioctl(descriptor, TIOCEXCL);
    if (applyLineSettings() != 0) {
        int error = errno != 0 ? errno : EIO;
        close();  // lifts the exclusive mode set just above
        openError_ = error;
        return -1;
    }
    tcflush(descriptor_, TCIOFLUSH);
    return 0;
}

int SerialPort::fail(int error) {
    if (descriptor_ >= 0) {
        // Not close(): the exclusive mode, if any, belongs to whoever holds
        // the port, and must stay.
        ::close(descriptor_);
        descriptor_ = -1;
    }
    openError_ = error;
    return -1;
}

int SerialPort::applyLineSettings() {
    termios settings{};
    if (tcgetattr(descriptor_, &settings) != 0) return isPseudoTerminal(descriptor_) ? 0 : -1;
    configureTermios(settings);
    if (tcsetattr(descriptor_, TCSANOW, &settings) != 0) {
        // A pseudo-terminal may refuse parity; it carries bytes unchanged
        // anyway, so go on with the settings it has.
        if (!isPseudoTerminal(descriptor_)) return -1;
        settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
        tcsetattr(descriptor_, TCSANOW, &settings);
    }
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(descriptor_, TIOCMBIC, &lines);  // not supported on a pty: harmless
    return 0;
}

void SerialPort::close() {
    if (descriptor_ < 0) return;
    // The exclusive mode belongs to the terminal, not to this descriptor:
    // lift it so that the next opener (a reopen, another program) gets in.
    ioctl(descriptor_, TIOCNXCL);
    ::close(descriptor_);  // also drops the lock
    descriptor_ = -1;
}

void SerialPort::keepFrameGap() const {
    if (frameGapMicroseconds_ <= 0) return;
    int64_t quietEnough = lineQuietFromMicroseconds_ + frameGapMicroseconds_;
    if (monotonicMicroseconds() < quietEnough) sleepUntilMicroseconds(quietEnough);
}

int SerialPort::write(const uint8_t* bytes, int length) {
    if (descriptor_ < 0) return -1;
    int64_t deadline =
        monotonicMilliseconds() + static_cast<int64_t>(timeouts_.writePerByteMs) * length +
        timeouts_.writeConstantMs;
    int written = 0;
    while (written < length) {
        ssize_t result = ::write(descriptor_, bytes + written, length - written);
        if (result > 0) {
            written += static_cast<int>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EINTR) return written > 0 ? written : -1;
        if (!waitReady(descriptor_, POLLOUT, deadline)) break;
    }
    lineQuietFromMicroseconds_ = monotonicMicroseconds() + lineMicroseconds(written);
    return written;
}

int SerialPort::read(uint8_t* buffer, int length) {
    return read(buffer, length, timeouts_.readTotalMs);
}

int SerialPort::read(uint8_t* buffer, int length, int limitMs) {
    if (descriptor_ < 0) return -1;
    int64_t deadline = monotonicMilliseconds() + limitMs;
    int received = 0;
    while (received < length) {
        ssize_t result = ::read(descriptor_, buffer + received, length - received);
        if (result > 0) {
            received += static_cast<int>(result);
            lineQuietFromMicroseconds_ = monotonicMicroseconds();
            continue;
        }
        // With no byte waiting a raw terminal reads 0 (or EAGAIN): sleep
        // until one arrives.
        bool nothingYet = result == 0 || (result < 0 && (errno == EAGAIN || errno == EINTR));
        bool hungUp = result < 0 && errno == EIO;
        if (!nothingYet && !hungUp) return received > 0 ? received : -1;
        if (remainingMs(deadline) == 0) break;
        Input input = hungUp ? Input::HungUp : waitForInput(descriptor_, deadline);
        if (input == Input::None) break;
        // A pseudo-terminal whose other side is gone reads as end of file
        // or EIO and polls as hung up: a silent line until the deadline.
        if (input == Input::HungUp && !pauseBeforeDeadline(deadline)) break;
    }
    return received;
}

void SerialPort::discardInput() {
    if (descriptor_ >= 0) tcflush(descriptor_, TCIFLUSH);
}

}  // namespace kvt
