#include "TcpGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace kvt::nodesim {
namespace {

constexpr size_t kMbapBytes = 7;  // transaction, protocol, length, unit id
constexpr size_t kMaxClients = 16;
constexpr int kMaxFollowingBytes = 254;

void sendAll(int descriptor, const uint8_t* bytes, size_t length) {
    size_t sent = 0;
    while (sent < length) {
        ssize_t result = ::send(descriptor, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (result > 0) {
            sent += static_cast<size_t>(result);
        } else if (result < 0 && (errno == EAGAIN || errno == EINTR)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            return;
        }
    }
}

void pauseMs(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

TcpGateway::TcpGateway(RequestHandler& handler, const SimulatorOptions& options, EventLog& log)
    : handler_(handler), options_(options), log_(log) {}

void TcpGateway::note(const char* event) const {
    if (options_.verbose) log_.line(event);
}

TcpGateway::~TcpGateway() {
    for (Client& client : clients_) ::close(client.descriptor);
    if (listener_ >= 0) ::close(listener_);
}

bool TcpGateway::listenOn(const std::string& address, int port, std::string& error) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) {
        error = "bad listen address " + address;
        return false;
    }
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    if (listener_ >= 0) setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (listener_ < 0 ||
        bind(listener_, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
        listen(listener_, 8) != 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port) + ": " +
                std::strerror(errno);
        return false;
    }
    return true;
}

std::string TcpGateway::boundAddress() const {
    sockaddr_in socketAddress{};
    socklen_t size = sizeof socketAddress;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&socketAddress), &size);
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &socketAddress.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(socketAddress.sin_port));
}

void TcpGateway::addPollEntries(std::vector<pollfd>& entries) const {
    if (listener_ >= 0) entries.push_back({listener_, POLLIN, 0});
    for (const Client& client : clients_) entries.push_back({client.descriptor, POLLIN, 0});
}

void TcpGateway::service(const std::vector<pollfd>& entries) {
    std::vector<int> readable;
    bool newClient = false;
    for (const pollfd& entry : entries) {
        if (entry.revents == 0) continue;
        if (entry.fd == listener_) newClient = true;
        else readable.push_back(entry.fd);
    }
    for (size_t index = 0; index < clients_.size();) {
        Client& client = clients_[index];
        bool ready = false;
        for (int descriptor : readable) ready = ready || descriptor == client.descriptor;
        if (ready && !serviceClient(client)) {
            ::close(client.descriptor);
            note("disconnect tcp");
            clients_.erase(clients_.begin() + static_cast<long>(index));
            continue;
        }
        ++index;
    }
    if (newClient) acceptClient();
}

void TcpGateway::acceptClient() {
    int descriptor = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (descriptor < 0) return;
    if (clients_.size() >= kMaxClients) {
        ::close(descriptor);
        return;
    }
    int on = 1;
    setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    clients_.push_back({descriptor, {}});
    note("connect tcp");
}

bool TcpGateway::serviceClient(Client& client) {
    uint8_t bytes[1024];
    ssize_t count = ::recv(client.descriptor, bytes, sizeof bytes, 0);
    if (count <= 0) return count < 0 && (errno == EAGAIN || errno == EINTR);
    client.pending.insert(client.pending.end(), bytes, bytes + count);
    return answerFrames(client, std::chrono::steady_clock::now());
}

bool TcpGateway::answerFrames(Client& client, std::chrono::steady_clock::time_point arrived) {
    while (client.pending.size() >= kMbapBytes) {
        const uint8_t* header = client.pending.data();
        int protocol = (header[2] << 8) | header[3];
        int following = (header[4] << 8) | header[5];
        if (protocol != 0 || following < 2 || following > kMaxFollowingBytes) return false;
        size_t total = 6 + static_cast<size_t>(following);
        if (client.pending.size() < total) return true;
        std::vector<uint8_t> frame(client.pending.begin(), client.pending.begin() + total);
        client.pending.erase(client.pending.begin(), client.pending.begin() + total);
        Answer reply = handler_.handle(Framing::Tcp, frame.data(), static_cast<int>(total));
        if (reply.action == Answer::Action::DropConnection) return false;
        if (reply.action == Answer::Action::Send) sendAnswer(client.descriptor, reply, arrived);
        // Frames that came together queue behind this one on the line.
        arrived = std::chrono::steady_clock::now();
    }
    return true;
}

void TcpGateway::sendAnswer(int descriptor, const Answer& reply,
                            std::chrono::steady_clock::time_point arrived) {
    const std::vector<uint8_t>& bytes = reply.bytes;
    // The serial line behind the gateway carries the exchange first.
    std::this_thread::sleep_until(arrived + reply.lineTime);
    pauseMs(reply.delayMs);
    int splitPause = options_.faults.splitPauseMs;
    if (splitPause < 0 || bytes.size() < 2) {
        sendAll(descriptor, bytes.data(), bytes.size());
        return;
    }
    size_t first = bytes.size() / 2;
    sendAll(descriptor, bytes.data(), first);
    pauseMs(splitPause > 0 ? splitPause : 1);
    sendAll(descriptor, bytes.data() + first, bytes.size() - first);
}

}  // namespace kvt::nodesim
