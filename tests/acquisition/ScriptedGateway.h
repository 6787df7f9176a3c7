#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

namespace kvt::test {

// A Modbus/TCP gateway on 127.0.0.1:502 (inside the private network
// namespace) whose behaviour the test chooses. It answers reads with
// register r = r + 1 and acknowledges writes; one client at a time.
class ScriptedGateway {
public:
    enum class Behaviour {
        Answer,         // one well-formed answer
        AnswerTwice,    // the answer, then the same answer again (stale input)
        Silent,         // takes the request, never answers
        WrongUnit,      // answers as unit + 1
        Exception,      // exception 4 instead of the answer
        Late,           // the answer after 800 ms, when the recorder has given up
    };

    ScriptedGateway() = default;
    ~ScriptedGateway();
    ScriptedGateway(const ScriptedGateway&) = delete;
    ScriptedGateway& operator=(const ScriptedGateway&) = delete;

    // Listens with `backlog`; `serve` false leaves connections unaccepted.
    bool start(int backlog = 8, bool serve = true);
    void stop();

    std::atomic<Behaviour> behaviour{Behaviour::Answer};
    std::atomic<int> accepted{0};
    std::atomic<int> requests{0};

private:
    void serveLoop();
    bool serveClient(int client);
    void answer(int client, const uint8_t* request, int length);

    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace kvt::test
