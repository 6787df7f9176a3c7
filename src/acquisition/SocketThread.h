#pragma once

namespace kvt {

// Entry of the thread that owns the Modbus/TCP connection and serves the
// request mailbox: connect, disconnect, send, receive. Idles (1000 ms
// sleeps, no socket) while the port is not TCP/IP; returns once
// exitRequested is set, closing the connection.
void socketThreadMain();

// One pass of the socket thread after its sleep: serves at most one of
// the requests that are pending, as the loop does. For tests.
void socketThreadPass();

// Entry of the thread that cancels blocked socket calls: a connect after
// 0.6 s, a send after 0.8 s, a receive after 0.6 s (10 ms ticks). Returns
// once exitRequested is set, cancelling a call still in progress.
void socketWatchdogThreadMain();

// One 10 ms tick of the watchdog (without its sleep). For tests.
void socketWatchdogTick();

constexpr int kConnectTickLimit = 60;
constexpr int kSendTickLimit = 80;
constexpr int kReceiveTickLimit = 60;

}  // namespace kvt
