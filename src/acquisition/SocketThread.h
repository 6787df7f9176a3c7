#pragma once

namespace kvt {

// Entry of the thread that owns the Modbus/TCP connection and serves the
// request mailbox: connect, disconnect, send, receive. Idles (1000 ms
// sleeps, no socket) while the port is not TCP/IP; returns once
// exitRequested is set, closing the connection.
void socketThreadMain();

// Entry of the thread that cancels blocked socket calls: a connect after
// 0.6 s, a send after 0.8 s, a receive after 0.6 s (10 ms ticks). Returns
// once exitRequested is set, cancelling a call still in progress.
void socketWatchdogThreadMain();

constexpr int kConnectTickLimit = 60;
constexpr int kSendTickLimit = 80;
constexpr int kReceiveTickLimit = 60;

}  // namespace kvt
