#include "status/StatusClient.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/Clock.h"
#include "platform/LocalSocket.h"
#include "platform/RuntimeFolder.h"
#include "status/StatusProtocol.h"

namespace kvt {
namespace {

constexpr size_t kMostAnswerBytes = 1 << 20;

enum class Asked { Answered, NobodyThere, NoUsableAnswer };

Asked ask(const char* path, const std::string& request, std::string& answer) {
    int64_t deadline = monotonicMilliseconds() + kStatusExchangeLimitMs;
    int connection = connectLocal(path, deadline);
    if (connection < 0) return Asked::NobodyThere;
    // Only a recorder of this user is believed.
    if (!peerIsSameUser(connection)) {
        close(connection);
        return Asked::NobodyThere;
    }
    bool answered = sendAllBefore(connection, request.data(), request.size(), deadline) &&
                    receiveBefore(connection, answer, kMostAnswerBytes, '\0', deadline);
    close(connection);
    return answered ? Asked::Answered : Asked::NoUsableAnswer;
}

int printAnswer(const std::string& answer, const char* path) {
    std::string ok = kAnswerOk;
    if (answer.compare(0, ok.size(), ok) != 0) {
        std::fprintf(stderr, "kvt936p: the recorder at %s answered: %s", path,
                     answer.empty() ? "nothing\n" : answer.c_str());
        return 1;
    }
    std::fwrite(answer.data() + ok.size(), 1, answer.size() - ok.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Asks the first recorder found in the runtime folders; `path` is where it
// answered (or did not answer in time), else every place looked at.
Asked askRunningRecorder(const char* request, std::string& answer, std::string& path) {
    char folders[kMostRuntimeFolders][kRuntimePathBytes];
    int count = runtimeFolders(folders);
    std::string looked;
    for (int index = 0; index < count; ++index) {
        path = std::string(folders[index]) + "/" + kStatusSocketName;
        Asked asked = ask(path.c_str(), std::string(request) + "\n", answer);
        if (asked != Asked::NobodyThere) return asked;
        looked += (looked.empty() ? "" : ", ") + path;
    }
    path = looked;
    return Asked::NobodyThere;
}

}  // namespace

int printRecorderStatus(bool json) {
    std::string answer;
    std::string path;
    switch (askRunningRecorder(json ? kRequestStatusJson : kRequestStatusText, answer, path)) {
    case Asked::Answered:
        return printAnswer(answer, path.c_str());
    case Asked::NoUsableAnswer:
        std::fprintf(stderr, "kvt936p: the recorder at %s did not answer in time\n", path.c_str());
        return 1;
    case Asked::NobodyThere:
        break;
    }
    std::fprintf(stderr, "kvt936p: no recorder is running (looked for %s)\n", path.c_str());
    return kExitNoRecorder;
}

bool raiseRunningWindow() {
    std::string answer;
    std::string path;
    return askRunningRecorder(kRequestRaise, answer, path) == Asked::Answered &&
           answer == kAnswerOk;
}

}  // namespace kvt
