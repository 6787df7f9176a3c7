#pragma once

namespace kvt {

// Entry of the thread that owns the Modbus/TCP connection.
void socketThreadMain();
// Entry of the thread that cancels blocked socket calls.
void socketWatchdogThreadMain();

}  // namespace kvt
