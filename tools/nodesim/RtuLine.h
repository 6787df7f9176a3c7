#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "RequestHandler.h"

namespace kvt::nodesim {

// CRC-16/MODBUS computed bit by bit (kept apart from the recorder's tables).
uint16_t crc16Modbus(const uint8_t* bytes, size_t length);

// Cuts a byte stream from the line into request frames. Known functions
// are framed by their length; a frame with a bad CRC loses its first byte
// and the search goes on; a pause on the line discards a partial frame.
class RtuFramer {
public:
    // Appends received bytes; complete, CRC-checked frames go to `frames`.
    void add(const uint8_t* bytes, size_t length, std::vector<std::vector<uint8_t>>& frames);
    // The line has been quiet: whatever is pending is garbage.
    void lineQuiet() { pending_.clear(); }
    bool hasPending() const { return !pending_.empty(); }

private:
    // Length of the frame at the start of pending_: 0 = need more bytes,
    // -1 = unknown function.
    int frameLength() const;

    std::vector<uint8_t> pending_;
};

// Modbus RTU on a new pseudo-terminal: the simulator holds the master side,
// the recorder opens the slave (its path, or the symbolic link to it).
class RtuLine {
public:
    explicit RtuLine(RequestHandler& handler);
    ~RtuLine();
    RtuLine(const RtuLine&) = delete;
    RtuLine& operator=(const RtuLine&) = delete;

    // Creates the pseudo-terminal (and the link); false with `error` set.
    bool open(const std::string& linkPath, std::string& error);
    int descriptor() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // The master side is readable.
    void serviceInput();
    // Called on every loop turn: drops a partial frame after a pause.
    void serviceIdle();

private:
    void answer(const std::vector<uint8_t>& frame);

    RequestHandler& handler_;
    int master_ = -1;
    int slaveHold_ = -1;  // keeps the slave open so the master never sees a hang-up
    std::string slavePath_;
    std::string linkPath_;
    RtuFramer framer_;
    std::chrono::steady_clock::time_point lastInput_;
};

}  // namespace kvt::nodesim
