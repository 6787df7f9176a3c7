#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>

namespace kvt {
namespace {

constexpr int kCaughtSignals[] = {SIGTERM, SIGINT, SIGHUP};

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int number) {
    int kept = errno;
    unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a request; this one may go.
    ssize_t written = write(signalPipe[1], &byte, 1);
    (void)written;
    errno = kept;
}

bool ignoredAtStart(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

bool catchTerminationSignals() {
    if (signalPipe[0] >= 0) return true;
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int number : kCaughtSignals) {
        if (!ignoredAtStart(number)) sigaction(number, &action, nullptr);
    }
    return true;
}

int terminationSignalDescriptor() { return signalPipe[0]; }

int takeTerminationSignal() {
    unsigned char byte = 0;
    if (signalPipe[0] < 0 || read(signalPipe[0], &byte, 1) != 1) return 0;
    return byte;
}

void blockTerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int number : kCaughtSignals) sigaddset(&signals, number);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace kvt
