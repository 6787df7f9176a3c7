#include "acquisition/SocketThread.h"

#include "core/RunFlags.h"
#include "platform/Clock.h"

namespace kvt {

// Placeholders until the TCP/IP link lands: idle until exit.
void socketThreadMain() {
    while (!load(exitRequested)) activeClock().sleepMs(20);
}

void socketWatchdogThreadMain() {
    while (!load(exitRequested)) activeClock().sleepMs(20);
}

}  // namespace kvt
