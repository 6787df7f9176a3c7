// Fuzz target: the Modbus/TCP answer reader. A gateway may deliver an
// answer in any number of pieces, answer with a frame of another length
// (an exception, a foreign frame), send more than was asked, or close or
// stall mid-answer. The input is the expected length, the pieces and how
// the peer ends. A real loopback connection carries each piece as one
// segment, sent only once the reader has taken the one before, so the
// reader sees exactly the pieces of the input. The reader must take
// pieces until the expected length has arrived or the frame's own header
// says it is complete, stop when the peer closes or the call is cancelled,
// never take more than expected, and return exactly the bytes it took.
#include <arpa/inet.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/TcpAnswerReader.h"
#include "platform/TcpClient.h"
#include "support/FuzzInput.h"

namespace kvt {
namespace {

constexpr int kMaxExpected = 256;  // the mailbox buffers
constexpr int kMaxPieces = 12;
constexpr int kMaxPieceBytes = 256;
// Only reached if a piece went astray; the peer's close or the cancel ends
// every receive long before.
constexpr int kReceiveLimitMs = 5000;

enum class PeerEnd { Closes, CallCancelled };

struct Exchange {
    int expected = 0;
    std::vector<std::string> pieces;
    PeerEnd end = PeerEnd::Closes;
};

struct Loopback {
    int listener = -1;
    int port = 0;
    TcpClient client;
};

Loopback* loopback = nullptr;

int openListener(int& port) {
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("loopback listener");
        std::abort();
    }
    port = ntohs(address.sin_port);
    return listener;
}

int portOf(const sockaddr_in& address) { return ntohs(address.sin_port); }

// The client's own descriptor (the one whose local port is the server
// side's peer port), so that the pieces can be paced by what it has taken.
int clientDescriptorOf(int server) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    getpeername(server, reinterpret_cast<sockaddr*>(&peer), &length);
    for (int descriptor = 0; descriptor < 4096; ++descriptor) {
        sockaddr_in local{};
        length = sizeof local;
        if (descriptor == server || descriptor == loopback->listener) continue;
        if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &length) == 0 &&
            local.sin_family == AF_INET && portOf(local) == portOf(peer)) {
            return descriptor;
        }
    }
    return -1;
}

// Whether the client socket has received `written` bytes in all and the
// reader has taken every one of them.
bool allTaken(int clientDescriptor, uint64_t written) {
    tcp_info info{};
    socklen_t length = sizeof info;
    int waiting = 0;
    if (getsockopt(clientDescriptor, IPPROTO_TCP, TCP_INFO, &info, &length) != 0 ||
        ioctl(clientDescriptor, FIONREAD, &waiting) != 0) {
        return false;
    }
    return info.tcpi_bytes_received >= written && waiting == 0;
}

// The gateway's side: one piece at a time, each once the reader has taken
// the one before, then the end; gives up as soon as the reader is done.
void playGateway(const Exchange& exchange, int server, int clientDescriptor,
                 const std::atomic<bool>& readerDone) {
    uint64_t written = 0;
    for (const std::string& piece : exchange.pieces) {
        if (readerDone.load()) return;
        if (send(server, piece.data(), piece.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(piece.size())) {
            break;
        }
        written += piece.size();
        while (!readerDone.load() && !allTaken(clientDescriptor, written)) std::this_thread::yield();
    }
    if (exchange.end == PeerEnd::Closes) {
        shutdown(server, SHUT_WR);
        return;
    }
    while (!readerDone.load()) {
        loopback->client.cancel();  // lost if the reader is between calls: repeat
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

// What the reader must take: whole pieces (the last one cut to the
// expected length) until the expected length is there or the 6-byte
// header's length field says the frame is complete.
std::string expectedAnswer(const Exchange& exchange) {
    std::string taken;
    for (const std::string& piece : exchange.pieces) {
        size_t room = static_cast<size_t>(exchange.expected) - taken.size();
        taken += piece.substr(0, room);
        if (taken.size() == static_cast<size_t>(exchange.expected)) break;
        if (taken.size() >= 6) {
            size_t frame = 6 + ((static_cast<uint8_t>(taken[4]) << 8) | static_cast<uint8_t>(taken[5]));
            if (frame <= taken.size()) break;
        }
    }
    return taken;
}

Exchange exchangeFrom(test::FuzzInput& input) {
    Exchange exchange;
    exchange.expected = input.intInRange(1, kMaxExpected);
    exchange.end = input.flag() ? PeerEnd::CallCancelled : PeerEnd::Closes;
    int pieces = input.intInRange(0, kMaxPieces);
    for (int index = 0; index < pieces && !input.empty(); ++index) {
        exchange.pieces.emplace_back(input.bytes(input.intInRange(1, kMaxPieceBytes)));
    }
    return exchange;
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvt::loopback = new kvt::Loopback;  // lives as long as the process
    kvt::loopback->listener = kvt::openListener(kvt::loopback->port);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    test::FuzzInput input(data, size);
    Exchange exchange = exchangeFrom(input);

    TcpClient& client = loopback->client;
    client.close();
    FUZZ_CHECK(client.connectTo("127.0.0.1", loopback->port, 2000) == 0);
    int server = accept4(loopback->listener, nullptr, nullptr, SOCK_CLOEXEC);
    FUZZ_CHECK(server >= 0);
    int one = 1;
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    int clientDescriptor = clientDescriptorOf(server);
    FUZZ_CHECK(clientDescriptor >= 0);

    // Exactly the expected length: ASan reports any byte taken beyond it.
    auto buffer = test::exactBuffer<uint8_t>(static_cast<size_t>(exchange.expected));
    std::atomic<bool> readerDone{false};
    std::thread gateway(playGateway, std::cref(exchange), server, clientDescriptor,
                        std::cref(readerDone));
    int received = receiveTcpAnswer(client, buffer.get(), exchange.expected, kReceiveLimitMs);
    readerDone.store(true);
    gateway.join();
    close(server);

    std::string expected = expectedAnswer(exchange);
    FUZZ_CHECK(received == static_cast<int>(expected.size()));
    FUZZ_CHECK(std::memcmp(buffer.get(), expected.data(), expected.size()) == 0);
    return 0;
}
