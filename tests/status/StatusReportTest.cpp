// The publisher's part of the status, as `kvt936p --status` prints it.
#include <gtest/gtest.h>

#include <cstring>

#include "status/StatusReport.h"

namespace kvt {
namespace {

PublisherStatus publisher(bool connected, uint64_t spooled, uint64_t dropped, const char* error) {
    PublisherStatus status;
    status.configured = true;
    status.connected = connected;
    status.spooledMessages = spooled;
    status.droppedMessages = dropped;
    std::strcpy(status.broker, "broker.local:1883");
    std::strcpy(status.lastError, error);
    return status;
}

TEST(StatusReport, ThePublisherIsOneJsonObjectOrNullAndOneLineOfText) {
    const struct {
        PublisherStatus publisher;
        const char* json;
        const char* line;
    } cases[] = {
        {PublisherStatus{}, "\"publisher\":null}", "\nPublisher: off\n"},
        {publisher(true, 0, 0, ""),
         "\"publisher\":{\"connected\":true,\"broker\":\"broker.local:1883\",\"spooled\":0,"
         "\"dropped\":0,\"last_error\":null}}",
         "\nPublisher: connected to broker.local:1883, 0 messages spooled, 0 dropped\n"},
        {publisher(false, 12000, 7, "refused by the broker (\"not authorised\")"),
         "\"publisher\":{\"connected\":false,\"broker\":\"broker.local:1883\",\"spooled\":12000,"
         "\"dropped\":7,\"last_error\":\"refused by the broker (\\\"not authorised\\\")\"}}",
         "\nPublisher: not connected to broker.local:1883 (refused by the broker (\"not "
         "authorised\")), 12000 messages spooled, 7 dropped\n"},
    };
    for (const auto& entry : cases) {
        RecorderStatus status;
        status.publisher = entry.publisher;
        std::string json = statusJson(status);
        EXPECT_EQ(json.substr(json.size() - std::strlen(entry.json) - 1), entry.json + std::string("\n"));
        std::string text = statusText(status);
        EXPECT_EQ(text.substr(text.size() - std::strlen(entry.line)), entry.line);
    }
}

}  // namespace
}  // namespace kvt
