#pragma once
#include <cstdint>

namespace kvt {

// Entry of the thread that owns the Modbus/TCP connection and serves the
// request mailbox: connect, disconnect, send, receive. Sleeps until a
// request is made (socketThreadWake), retrying a lost connection every
// 20 ms; while the port is not TCP/IP it holds no socket and looks at the
// configuration once a second. Returns once exitRequested is set, closing
// the connection.
void socketThreadMain();

// Entry of the thread that cancels blocked socket calls: a connect after
// 0.6 s, a send after 0.8 s, a receive after 0.6 s. Sleeps until a call
// begins and then until the call's limit. Returns once exitRequested is
// set, cancelling a call still in progress.
void socketWatchdogThreadMain();

constexpr int64_t kConnectLimitMs = 600;
constexpr int64_t kSendLimitMs = 800;
constexpr int64_t kReceiveLimitMs = 600;

}  // namespace kvt
