#include "platform/WindowCommands.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace kvt {
namespace {

int pipeEnds[2] = {-1, -1};
std::once_flag pipeOnce;
std::atomic<long> postedCounts[kLastWindowCommand - kCommandRefresh + 1];

void openPipe() {
    std::call_once(pipeOnce, [] {
        if (pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) pipeEnds[0] = pipeEnds[1] = -1;
    });
}

}  // namespace

void postWindowCommand(int command) {
    openPipe();
    if (command >= kCommandRefresh && command <= kLastWindowCommand) {
        postedCounts[command - kCommandRefresh].fetch_add(1, std::memory_order_relaxed);
    }
    if (pipeEnds[1] < 0) return;
    int32_t word = command;
    // Writes of 4 bytes to a pipe are atomic; a full pipe drops the command.
    ssize_t written = write(pipeEnds[1], &word, sizeof word);
    (void)written;
}

int windowCommandReadDescriptor() {
    openPipe();
    return pipeEnds[0];
}

int takeWindowCommand() {
    openPipe();
    int32_t word = 0;
    if (pipeEnds[0] < 0) return 0;
    return read(pipeEnds[0], &word, sizeof word) == sizeof word ? word : 0;
}

long postedWindowCommandCount(int command) {
    if (command < kCommandRefresh || command > kLastWindowCommand) return 0;
    return postedCounts[command - kCommandRefresh].load(std::memory_order_relaxed);
}

}  // namespace kvt
