#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/TcpClient.h"

namespace kvt {
namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// A listening socket on 127.0.0.1 with a free port; accepts one peer.
class LoopbackListener {
public:
    LoopbackListener() {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 4);
        socklen_t size = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() {
        if (peer_ >= 0) close(peer_);
        close(listener_);
    }
    int port() const { return port_; }
    int acceptPeer() {
        peer_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return peer_;
    }
    void sendToClient(const Bytes& bytes) const {
        ASSERT_EQ(send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    Bytes receiveFromClient(size_t length) const {
        Bytes bytes(length);
        size_t got = 0;
        while (got < length) {
            ssize_t count = recv(peer_, bytes.data() + got, length - got, 0);
            if (count <= 0) break;
            got += static_cast<size_t>(count);
        }
        bytes.resize(got);
        return bytes;
    }
    void closePeer() {
        close(peer_);
        peer_ = -1;
    }

private:
    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

class TcpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(client.connectTo("127.0.0.1", listener.port(), 2000), 0);
        ASSERT_GE(listener.acceptPeer(), 0);
    }
    LoopbackListener listener;
    TcpClient client;
};

TEST_F(TcpClientTest, SendsAndReceivesWholeFrames) {
    Bytes request = {0, 0, 0, 0, 0, 6, 1, 3, 0, 0, 0, 16};
    EXPECT_EQ(client.sendAll(request.data(), 12), 12);
    EXPECT_EQ(listener.receiveFromClient(12), request);
    listener.sendToClient({1, 2, 3, 4, 5});
    uint8_t buffer[16] = {};
    EXPECT_EQ(client.receiveExactly(buffer, 5, 2000), 5);
    EXPECT_EQ(Bytes(buffer, buffer + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST_F(TcpClientTest, ReceiveSomeTakesOneSegmentAndExactlyWaitsForTheRest) {
    listener.sendToClient({1, 2, 3});
    uint8_t buffer[16] = {};
    EXPECT_EQ(client.receiveSome(buffer, 8, 2000), 3);
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        listener.sendToClient({4, 5, 6});
    });
    listener.sendToClient({1, 2});
    EXPECT_EQ(client.receiveExactly(buffer, 5, 2000), 5);
    late.join();
    EXPECT_EQ(Bytes(buffer, buffer + 5), (Bytes{1, 2, 4, 5, 6}));
}

TEST_F(TcpClientTest, TimeOutsReturnWhatArrived) {
    listener.sendToClient({9, 9});
    uint8_t buffer[16] = {};
    auto start = Clock::now();
    EXPECT_EQ(client.receiveExactly(buffer, 8, 100), 2);
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(client.receiveSome(buffer, 8, 50), -1);
}

TEST_F(TcpClientTest, CancelFromAnotherThreadUnblocksAReceivePromptly) {
    uint8_t buffer[16];
    auto start = Clock::now();
    auto receive = std::async(std::launch::async, [&] { return client.receiveExactly(buffer, 8); });
    while (!client.blockingCallInProgress() && msSince(start) < 2000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    client.cancel();
    ASSERT_EQ(receive.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(receive.get(), 0);
    EXPECT_LT(msSince(start), 1500);
    // A cancel with nothing in progress does not spoil the next call.
    client.cancel();
    listener.sendToClient({7});
    EXPECT_EQ(client.receiveSome(buffer, 8, 2000), 1);
}

TEST_F(TcpClientTest, StaleInputIsPeekedAndDrained) {
    EXPECT_EQ(client.peekAvailable(1024), 0);
    EXPECT_EQ(client.drainStaleInput(), 0);
    listener.sendToClient({1, 2, 3, 4});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(client.peekAvailable(1024), 4);
    EXPECT_EQ(client.peekAvailable(2), 2);
    EXPECT_EQ(client.drainStaleInput(), 4);
    EXPECT_EQ(client.peekAvailable(1024), 0);
}

TEST_F(TcpClientTest, PeerClosingIsReported) {
    listener.closePeer();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(client.peekAvailable(1024), -1);
    EXPECT_EQ(client.drainStaleInput(), -1);
    uint8_t buffer[8];
    EXPECT_EQ(client.receiveSome(buffer, 8, 1000), 0);
    EXPECT_EQ(client.receiveExactly(buffer, 8, 1000), 0);
    // Sending into a closed connection fails instead of killing the process.
    Bytes request(12, 0);
    int result = 0;
    for (int attempt = 0; attempt < 20 && result >= 0; ++attempt) {
        result = client.sendAll(request.data(), 12, 1000);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(result, -1);
}

TEST_F(TcpClientTest, ClosedClientRefusesEveryCall) {
    client.close();
    EXPECT_FALSE(client.isOpen());
    uint8_t buffer[8] = {};
    EXPECT_EQ(client.sendAll(buffer, 8), -1);
    EXPECT_EQ(client.receiveSome(buffer, 8), -1);
    EXPECT_EQ(client.receiveExactly(buffer, 8), -1);
    EXPECT_EQ(client.peekAvailable(8), -1);
    EXPECT_EQ(client.drainStaleInput(), -1);
}

TEST(TcpClientConnect, ClosedPortAndBadAddressesFail) {
    int port = 0;
    {
        LoopbackListener gone;
        port = gone.port();
    }
    TcpClient client;
    EXPECT_EQ(client.connectTo("127.0.0.1", port, 2000), -1);
    EXPECT_FALSE(client.isOpen());
    EXPECT_EQ(client.connectTo("200.200.200", 502, 100), -1);
    EXPECT_EQ(client.connectTo("localhost", 502, 100), -1);  // dotted addresses only
    EXPECT_EQ(client.connectTo("127.0.0.1", 0, 100), -1);
    LoopbackListener again;
    EXPECT_EQ(client.connectTo("127.0.0.1", again.port(), 2000), 0);  // reusable after failures
    EXPECT_TRUE(client.isOpen());
}

}  // namespace
}  // namespace kvt
