#pragma once

namespace kvt {

// Tells the service manager how a service started with Type=notify is
// doing ("READY=1", "STOPPING=1"): one datagram to the socket named in
// NOTIFY_SOCKET (a path, or "@name" in the abstract namespace). Does
// nothing, and says false, when no manager waits for it.
bool notifyServiceManager(const char* state);

}  // namespace kvt
