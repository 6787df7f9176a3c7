#pragma once
#include <chrono>
#include <thread>

namespace kvt::test {

// Waits in real time, looking every 10 ms, until `condition` holds (true)
// or `timeoutMs` has passed (false). For tests that watch other threads.
template <typename Condition>
bool eventually(Condition condition, int timeoutMs = 3000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace kvt::test
