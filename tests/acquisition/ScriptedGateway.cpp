#include "ScriptedGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace kvt::test {
namespace {

void sendFrame(int client, const std::vector<uint8_t>& frame) {
    ::send(client, frame.data(), frame.size(), MSG_NOSIGNAL);
}

// Waits up to `timeoutMs` for `descriptor` to become readable.
bool readable(int descriptor, int timeoutMs) {
    pollfd entry{descriptor, POLLIN, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

}  // namespace

ScriptedGateway::~ScriptedGateway() { stop(); }

bool ScriptedGateway::start(int backlog, bool serve) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(502);
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, backlog) != 0) {
        return false;
    }
    if (serve) thread_ = std::thread(&ScriptedGateway::serveLoop, this);
    return true;
}

void ScriptedGateway::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) close(listener_);
    listener_ = -1;
}

void ScriptedGateway::serveLoop() {
    while (!stopping_) {
        if (!readable(listener_, 20)) continue;
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ++accepted;
        while (!stopping_ && serveClient(client)) {
        }
        close(client);
    }
}

// False when the client is gone or must be dropped.
bool ScriptedGateway::serveClient(int client) {
    if (!readable(client, 20)) return true;
    uint8_t request[260];
    ssize_t length = recv(client, request, sizeof request, 0);
    if (length <= 0) return false;
    ++requests;
    answer(client, request, static_cast<int>(length));
    return true;
}

void ScriptedGateway::answer(int client, const uint8_t* request, int length) {
    if (length < 12) return;
    Behaviour mode = behaviour.load();
    if (mode == Behaviour::Silent) return;
    uint8_t unit = request[6];
    uint8_t function = request[7];
    std::vector<uint8_t> body;  // unit id onwards
    body.push_back(mode == Behaviour::WrongUnit ? static_cast<uint8_t>(unit + 1) : unit);
    if (mode == Behaviour::Exception) {
        body.push_back(static_cast<uint8_t>(function | 0x80));
        body.push_back(4);
    } else if (function == 3) {
        int count = (request[10] << 8) | request[11];
        body.push_back(3);
        body.push_back(static_cast<uint8_t>(2 * count));
        for (int r = 0; r < count; ++r) {
            body.push_back(0);
            body.push_back(static_cast<uint8_t>(r + 1));
        }
    } else {
        body.insert(body.end(), request + 7, request + 12);
    }
    std::vector<uint8_t> frame = {0, 0, 0, 0, 0, static_cast<uint8_t>(body.size())};
    frame.insert(frame.end(), body.begin(), body.end());
    if (mode == Behaviour::Late) std::this_thread::sleep_for(std::chrono::milliseconds(800));
    sendFrame(client, frame);
    if (mode == Behaviour::AnswerTwice) sendFrame(client, frame);
}

}  // namespace kvt::test
