#include "status/StatusServer.h"

#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>

#include "core/ThreadConfiguration.h"
#include "platform/Clock.h"
#include "platform/LocalSocket.h"
#include "platform/RuntimeFolder.h"
#include "platform/WindowCommands.h"
#include "platform/WakeEvent.h"
#include "status/RecorderStatus.h"
#include "status/StatusProtocol.h"
#include "status/StatusReport.h"

namespace kvt {
namespace {

constexpr int kProbeLimitMs = 500;

char socketPath[kRuntimePathBytes + 32] = "";
struct stat boundFile {};
int listening = -1;
bool holderWindowless = false;
std::atomic<bool> stopping{false};
WakeEvent stopSignal;
std::thread server;
// What the thread reads (mode, nodes, groups); taken over for every request.
ConfigurationSnapshot serverConfiguration;

enum class Bound { Listening, TakenByAnother, Failed };

// Listens at `path`, taking over a socket file that nobody answers on (one
// left by a recorder that did not end cleanly).
Bound listenAt(const char* path) {
    listening = listenLocal(path);
    if (listening < 0 && errno == EADDRINUSE) {
        int probe = connectLocal(path, monotonicMilliseconds() + kProbeLimitMs);
        if (probe >= 0) {
            close(probe);
            return Bound::TakenByAnother;
        }
        struct stat found {};
        if (lstat(path, &found) == 0 && S_ISSOCK(found.st_mode)) unlink(path);
        listening = listenLocal(path);
    }
    if (listening < 0) return Bound::Failed;
    lstat(path, &boundFile);
    return Bound::Listening;
}

bool bindInRuntimeFolder() {
    char folders[kMostRuntimeFolders][kRuntimePathBytes];
    int count = runtimeFolders(folders);
    for (int index = 0; index < count; ++index) {
        if (!preparePrivateFolder(folders[index])) continue;
        std::string path = std::string(folders[index]) + "/" + kStatusSocketName;
        std::snprintf(socketPath, sizeof socketPath, "%s", path.c_str());
        switch (listenAt(socketPath)) {
        case Bound::Listening:
            return true;
        case Bound::TakenByAnother:
            socketPath[0] = '\0';
            return false;
        case Bound::Failed:
            break;
        }
    }
    socketPath[0] = '\0';
    return false;
}

// The window raises itself on its own thread.
std::string raiseWindow() {
    if (holderWindowless) return kAnswerNoWindow;
    postWindowCommand(kCommandRaise);
    return kAnswerOk;
}

std::string answerTo(const std::string& request) {
    if (request == kRequestRaise) return raiseWindow();
    bool text = request == kRequestStatusText;
    if (!text && request != kRequestStatusJson) return kAnswerUnknown;
    refreshThreadConfiguration();
    RecorderStatus status = gatherRecorderStatus(threadConfiguration(), holderWindowless);
    return kAnswerOk + (text ? statusText(status) : statusJson(status));
}

void serveClient(int client) {
    int64_t deadline = monotonicMilliseconds() + kStatusExchangeLimitMs;
    std::string request;
    if (peerIsSameUser(client) &&
        receiveBefore(client, request, kMostRequestBytes, '\n', deadline)) {
        std::string answer = answerTo(request.substr(0, request.find('\n')));
        sendAllBefore(client, answer.data(), answer.size(), deadline);
    }
    close(client);
}

void serverMain() {
    pthread_setname_np(pthread_self(), "kvt-status");
    ThreadConfigurationScope configuration(serverConfiguration);
    while (!stopping.load(std::memory_order_acquire)) {
        pollfd watched[2] = {{listening, POLLIN, 0}, {stopSignal.descriptor(), POLLIN, 0}};
        if (poll(watched, 2, -1) < 0 && errno != EINTR) return;
        if ((watched[0].revents & POLLIN) == 0) continue;
        int client = acceptLocal(listening);
        if (client >= 0) serveClient(client);
    }
}

}  // namespace

bool startStatusServer(bool windowless) {
    if (server.joinable()) return true;
    if (!bindInRuntimeFolder()) return false;
    holderWindowless = windowless;
    stopping.store(false, std::memory_order_release);
    stopSignal.clear();
    server = std::thread(serverMain);
    return true;
}

void stopStatusServer() {
    if (!server.joinable()) return;
    stopping.store(true, std::memory_order_release);
    stopSignal.signal();
    server.join();
    close(listening);
    listening = -1;
    // Only the file this recorder made: a later recorder may own the name now.
    struct stat found {};
    if (lstat(socketPath, &found) == 0 && found.st_ino == boundFile.st_ino &&
        found.st_dev == boundFile.st_dev) {
        unlink(socketPath);
    }
    socketPath[0] = '\0';
}

const char* statusSocketPath() { return socketPath; }

}  // namespace kvt
