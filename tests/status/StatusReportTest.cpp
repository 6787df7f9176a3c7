// The publisher's part of the status, as `kvt936p --status` prints it.
#include <gtest/gtest.h>

#include <cstring>

#include "status/StatusReport.h"

namespace kvt {
namespace {

TEST(StatusReport, ThePublisherIsOneJsonObjectOrNullAndOneLineOfText) {
    const struct {
        bool configured, connected;
        uint64_t spooled, dropped;
        const char* error;
        const char* json;
        const char* line;
    } cases[] = {
        {false, false, 0, 0, "", "null}", "Publisher: off\n"},
        {true, true, 0, 0, "",
         R"({"connected":true,"broker":"b:1883","spooled":0,"dropped":0,"last_error":null}})",
         "Publisher: connected to b:1883, 0 messages spooled, 0 dropped\n"},
        {true, false, 12000, 7, "refused (\"not authorised\")",
         R"j({"connected":false,"broker":"b:1883","spooled":12000,"dropped":7,"last_error":"refused (\"not authorised\")"}})j",
         "Publisher: not connected to b:1883 (refused (\"not authorised\")), 12000 messages spooled, 7 dropped\n"},
    };
    for (const auto& entry : cases) {
        RecorderStatus status;
        PublisherStatus& publisher = status.publisher;
        publisher = {entry.configured, entry.connected, entry.spooled, entry.dropped};
        std::strcpy(publisher.broker, "b:1883");
        std::strcpy(publisher.lastError, entry.error);
        std::string json = statusJson(status);
        EXPECT_EQ(json.substr(json.rfind("\"publisher\":") + 12), entry.json + std::string("\n"));
        std::string text = statusText(status);
        EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), entry.line);
    }
}

}  // namespace
}  // namespace kvt
