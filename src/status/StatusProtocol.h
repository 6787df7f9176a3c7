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
// Requests now: "status text" and "status json". A later "raise" can ask
// a recorder with a window to come to the front; the status already says
// who holds the data ("holder": "window" or "headless").
constexpr const char* kStatusSocketName = "kvt936p.sock";
constexpr int kMostRequestBytes = 256;

constexpr const char* kRequestStatusText = "status text";
constexpr const char* kRequestStatusJson = "status json";

constexpr const char* kAnswerOk = "ok\n";
constexpr const char* kAnswerUnknown = "unknown request\n";

// Longest time either side waits for the other's bytes.
constexpr int kStatusExchangeLimitMs = 5000;

}  // namespace kvt
