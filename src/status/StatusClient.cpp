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

}  // namespace

int printRecorderStatus(bool json) {
    std::string request = std::string(json ? kRequestStatusJson : kRequestStatusText) + "\n";
    char folders[kMostRuntimeFolders][kRuntimePathBytes];
    int count = runtimeFolders(folders);
    std::string looked;
    for (int index = 0; index < count; ++index) {
        std::string path = std::string(folders[index]) + "/" + kStatusSocketName;
        std::string answer;
        switch (ask(path.c_str(), request, answer)) {
        case Asked::Answered:
            return printAnswer(answer, path.c_str());
        case Asked::NoUsableAnswer:
            std::fprintf(stderr, "kvt936p: the recorder at %s did not answer in time\n",
                         path.c_str());
            return 1;
        case Asked::NobodyThere:
            looked += (looked.empty() ? "" : ", ") + path;
            break;
        }
    }
    std::fprintf(stderr, "kvt936p: no recorder is running (looked for %s)\n", looked.c_str());
    return kExitNoRecorder;
}

}  // namespace kvt
