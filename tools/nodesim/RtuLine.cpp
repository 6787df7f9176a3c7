#include "RtuLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace kvt::nodesim {
namespace {

constexpr auto kQuietLine = std::chrono::milliseconds(30);

void makeRaw(int descriptor) {
    termios settings{};
    if (tcgetattr(descriptor, &settings) != 0) return;
    cfmakeraw(&settings);
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    tcsetattr(descriptor, TCSANOW, &settings);
}

void writeAll(int descriptor, const uint8_t* bytes, size_t length) {
    size_t written = 0;
    while (written < length) {
        ssize_t result = ::write(descriptor, bytes + written, length - written);
        if (result > 0) {
            written += static_cast<size_t>(result);
        } else if (result < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

// Replaces an old symbolic link at `path`; never removes anything else.
bool placeLink(const std::string& target, const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::path linkPath(path);
    if (linkPath.has_parent_path()) {
        std::filesystem::create_directories(linkPath.parent_path(), code);
    }
    struct stat status{};
    if (lstat(path.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot create link " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

uint16_t crc16Modbus(const uint8_t* bytes, size_t length) {
    uint16_t crc = 0xFFFF;
    for (size_t index = 0; index < length; ++index) {
        crc ^= bytes[index];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

int RtuFramer::frameLength() const {
    if (pending_.size() < 2) return 0;
    switch (pending_[1]) {
        case 1: case 2: case 3: case 4: case 5: case 6:
            return 8;
        case 15: case 16:
            if (pending_.size() < 7) return 0;
            return 9 + pending_[6];
        default:
            return -1;
    }
}

void RtuFramer::add(const uint8_t* bytes, size_t length,
                    std::vector<std::vector<uint8_t>>& frames) {
    pending_.insert(pending_.end(), bytes, bytes + length);
    for (;;) {
        int needed = frameLength();
        if (needed == -1) {
            // Unknown function: search for a frame boundary further on.
            pending_.erase(pending_.begin());
            continue;
        }
        if (needed == 0 || static_cast<size_t>(needed) > pending_.size()) return;
        uint16_t crc = crc16Modbus(pending_.data(), static_cast<size_t>(needed - 2));
        bool good = pending_[needed - 2] == (crc & 0xFF) && pending_[needed - 1] == (crc >> 8);
        if (!good) {
            pending_.erase(pending_.begin());
            continue;
        }
        frames.emplace_back(pending_.begin(), pending_.begin() + needed);
        pending_.erase(pending_.begin(), pending_.begin() + needed);
    }
}

RtuLine::RtuLine(RequestHandler& handler)
    : handler_(handler), lastInput_(std::chrono::steady_clock::now()) {}

RtuLine::~RtuLine() {
    if (!linkPath_.empty()) {
        std::error_code code;
        bool stillOurs = std::filesystem::read_symlink(linkPath_, code) == slavePath_;
        if (stillOurs) ::unlink(linkPath_.c_str());
    }
    if (slaveHold_ >= 0) ::close(slaveHold_);
    if (master_ >= 0) ::close(master_);
}

bool RtuLine::open(const std::string& linkPath, std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        error = "pseudo-terminal has no name";
        return false;
    }
    slavePath_ = name;
    slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveHold_ >= 0) makeRaw(slaveHold_);
    makeRaw(master_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!linkPath.empty()) {
        if (!placeLink(slavePath_, linkPath, error)) return false;
        linkPath_ = linkPath;
    }
    return true;
}

void RtuLine::serviceInput() {
    uint8_t bytes[512];
    ssize_t count = ::read(master_, bytes, sizeof bytes);
    if (count <= 0) return;
    lastInput_ = std::chrono::steady_clock::now();
    std::vector<std::vector<uint8_t>> frames;
    framer_.add(bytes, static_cast<size_t>(count), frames);
    for (const auto& frame : frames) answer(frame);
}

void RtuLine::serviceIdle() {
    if (framer_.hasPending() && std::chrono::steady_clock::now() - lastInput_ > kQuietLine) {
        framer_.lineQuiet();
    }
}

void RtuLine::answer(const std::vector<uint8_t>& frame) {
    if (frame[0] == 0) return;  // broadcast: nobody answers
    Answer reply = handler_.handle(Framing::Rtu, frame.data(), static_cast<int>(frame.size()));
    if (reply.action != Answer::Action::Send) return;
    // The request reached the line's end with the last input; the answer
    // leaves once the exchange has had its time on the wire.
    std::this_thread::sleep_until(lastInput_ + reply.lineTime +
                                  std::chrono::milliseconds(reply.delayMs));
    writeAll(master_, reply.bytes.data(), reply.bytes.size());
}

}  // namespace kvt::nodesim
