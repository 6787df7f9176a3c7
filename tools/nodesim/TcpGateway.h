#pragma once
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "EventLog.h"
#include "RequestHandler.h"

namespace kvt::nodesim {

// Modbus/TCP server in front of the simulated nodes, like a gateway. Serves
// several clients; frames requests by their 7-byte header. Verbose, it logs
// "connect tcp" and "disconnect tcp" as clients come and go.
class TcpGateway {
public:
    TcpGateway(RequestHandler& handler, const SimulatorOptions& options, EventLog& log);
    ~TcpGateway();
    TcpGateway(const TcpGateway&) = delete;
    TcpGateway& operator=(const TcpGateway&) = delete;

    bool listenOn(const std::string& address, int port, std::string& error);
    std::string boundAddress() const;

    // Appends the descriptors to watch; `service` handles what poll found.
    void addPollEntries(std::vector<pollfd>& entries) const;
    void service(const std::vector<pollfd>& entries);

private:
    struct Client {
        int descriptor = -1;
        std::vector<uint8_t> pending;
    };

    void acceptClient();
    // False when the connection must close.
    bool serviceClient(Client& client);
    // `arrived`: when the first of the pending frames came in.
    bool answerFrames(Client& client, std::chrono::steady_clock::time_point arrived);
    void sendAnswer(int descriptor, const Answer& reply,
                    std::chrono::steady_clock::time_point arrived);
    void note(const char* event) const;

    RequestHandler& handler_;
    const SimulatorOptions& options_;
    EventLog& log_;
    int listener_ = -1;
    std::vector<Client> clients_;
};

}  // namespace kvt::nodesim
