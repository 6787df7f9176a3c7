#pragma once
#include <cstdint>

namespace kvt {

// Read and write deadlines of a serial port, in milliseconds.
struct SerialTimeouts {
    int readTotalMs = 300;        // a read returns with what has arrived by then
    int writePerByteMs = 100;     // a write may take per byte ...
    int writeConstantMs = 200;    // ... plus this
};

// The line speed of every port, and the bits one character takes on it
// (start, 8 data, parity, stop).
constexpr int kSerialBaud = 38400;
constexpr int kSerialBitsPerCharacter = 11;

// A serial port driven through termios: 38,400 baud, 8 data bits, odd
// parity, 1 stop bit, raw binary, parity checking and flow control off,
// DTR and RTS lowered. Reads and writes never block beyond their deadlines.
// Owned by one thread; not copyable.
class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device for exclusive use (a second opener is refused), sets
    // the line and discards anything pending in both directions. A
    // pseudo-terminal that refuses part of the line settings is used as it
    // is. Returns 0, or -1 when the device cannot be opened or set up; then
    // openError() tells why.
    int open(const char* devicePath);
    // Why the last open() failed, as an errno value: what open(2) or the
    // line set-up reported, EBUSY when another opener holds the port,
    // ENOTTY when the path is not a terminal. 0 after a successful open.
    int openError() const { return openError_; }
    void close();
    bool isOpen() const { return descriptor_ >= 0; }

    void setTimeouts(const SerialTimeouts& timeouts) { timeouts_ = timeouts; }
    const SerialTimeouts& timeouts() const { return timeouts_; }

    // Silence kept on the line between frames, 0 (the default) for none:
    // keepFrameGap() waits until this long has passed since the last byte
    // crossed the line, read or written (a written byte leaves the line one
    // character time after the one before it).
    void setFrameGapMicroseconds(int microseconds) { frameGapMicroseconds_ = microseconds; }
    void keepFrameGap() const;

    // Writes the bytes before the write deadline; returns the number written
    // (fewer on a timeout), or -1 when the port is not open or fails.
    int write(const uint8_t* bytes, int length);

    // Reads up to `length` bytes: returns as soon as `length` have arrived,
    // else at the read deadline (`limitMs`, or the read timeout) with what
    // is there (possibly 0). -1 when the port is not open or fails.
    int read(uint8_t* buffer, int length);
    int read(uint8_t* buffer, int length, int limitMs);

    // Discards unread input.
    void discardInput();

private:
    int applyLineSettings();

    int fail(int error);

    int descriptor_ = -1;
    int openError_ = 0;
    SerialTimeouts timeouts_;
    int frameGapMicroseconds_ = 0;
    int64_t lineQuietFromMicroseconds_ = 0;  // monotonic: when the last byte has left the line
};

// True when the open descriptor is the slave side of a pseudo-terminal.
bool isPseudoTerminal(int descriptor);

}  // namespace kvt
