#pragma once

namespace kvt {

// How `kvt936p --status` (and later requests) talk to the running
// recorder: a Unix stream socket named kStatusSocketName in the user's
// runtime folder (RuntimeFolder.h), owner-only, answering only the same
// user. One request per connection:
//
//   client: one line, "<request>[ <argument>]\n", ASCII, at most
//           kMostRequestBytes bytes with the line feed
//   server: "ok\n" and the answer, or "unknown request\n" for a request it
//           does not know (an older recorder), then closes the connection
//
// Requests: "status text" and "status json"; "raise" asks a recorder with a
// window to bring it to the front (a second start does so before it says
// that one runs), which one without a window answers with "no window\n".
// The status says who holds the data ("holder": "window" or "headless").
constexpr const char* kStatusSocketName = "kvt936p.sock";
constexpr int kMostRequestBytes = 256;

constexpr const char* kRequestStatusText = "status text";
constexpr const char* kRequestStatusJson = "status json";
constexpr const char* kRequestRaise = "raise";

constexpr const char* kAnswerOk = "ok\n";
constexpr const char* kAnswerUnknown = "unknown request\n";
constexpr const char* kAnswerNoWindow = "no window\n";

// Longest time either side waits for the other's bytes.
constexpr int kStatusExchangeLimitMs = 5000;

}  // namespace kvt
