#include "support/StatusRequest.h"

#include <unistd.h>

#include <QJsonDocument>

#include "platform/Clock.h"
#include "platform/LocalSocket.h"
#include "status/StatusProtocol.h"
#include "status/StatusServer.h"

namespace kvt::test {

std::string askStatusServer(const std::string& request) {
    int64_t deadline = monotonicMilliseconds() + kStatusExchangeLimitMs;
    int connection = connectLocal(statusSocketPath(), deadline);
    if (connection < 0) return "(no connection)";
    std::string answer;
    std::string line = request + "\n";
    sendAllBefore(connection, line.data(), line.size(), deadline);
    receiveBefore(connection, answer, 1 << 20, '\0', deadline);
    close(connection);
    return answer;
}

QJsonObject statusServerJson() {
    std::string answer = askStatusServer(kRequestStatusJson);
    if (answer.rfind(kAnswerOk, 0) != 0) return {};
    return QJsonDocument::fromJson(QByteArray::fromStdString(answer.substr(3))).object();
}

}  // namespace kvt::test
