#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kvt::test {

// A pseudo-terminal pair for serial tests: the code under test opens the
// slave (by path, or through a link), the test plays the far end on the
// master. Both sides are raw.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    void send(const std::vector<uint8_t>& bytes) const;
    // What arrives on the master within `timeoutMs` (stops at `maxBytes`).
    std::vector<uint8_t> receive(size_t maxBytes, int timeoutMs = 300) const;

private:
    int master_ = -1;
    int slave_ = -1;  // held open so the master never sees a hang-up
    std::string slavePath_;
};

// CRC-16/MODBUS bit by bit, for building test frames independently.
uint16_t referenceCrc(const std::vector<uint8_t>& bytes);
// `body` with its CRC appended, low byte first.
std::vector<uint8_t> withCrc(std::vector<uint8_t> body);

}  // namespace kvt::test
