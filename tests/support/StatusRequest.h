#pragma once
#include <QJsonObject>
#include <string>

namespace kvt::test {

// One request to the running status server (statusSocketPath()), sent as
// `kvt936p --status` sends it; the whole answer, or "(no connection)".
std::string askStatusServer(const std::string& request);

// The status server's JSON object; empty when the answer was not one.
QJsonObject statusServerJson();

}  // namespace kvt::test
