#include "support/PtyPair.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace kvt::test {

PtyPair::PtyPair() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

void PtyPair::send(const std::vector<uint8_t>& bytes) const {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t result = write(master_, bytes.data() + written, bytes.size() - written);
        if (result <= 0) return;
        written += static_cast<size_t>(result);
    }
}

std::vector<uint8_t> PtyPair::receive(size_t maxBytes, int timeoutMs) const {
    std::vector<uint8_t> bytes;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < maxBytes) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd entry{master_, POLLIN, 0};
        if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) break;
        uint8_t chunk[512];
        size_t wanted = std::min(sizeof chunk, maxBytes - bytes.size());
        ssize_t count = read(master_, chunk, wanted);
        if (count <= 0) break;
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    return bytes;
}

uint16_t referenceCrc(const std::vector<uint8_t>& bytes) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

std::vector<uint8_t> withCrc(std::vector<uint8_t> body) {
    uint16_t crc = referenceCrc(body);
    body.push_back(static_cast<uint8_t>(crc & 0xFF));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    return body;
}

}  // namespace kvt::test
