#include "acquisition/RequestMailbox.h"

#include <cstring>

namespace kvt {

RequestMailbox requestMailbox;

void clearRequestMailbox() {
    RequestMailbox& box = requestMailbox;
    std::memset(box.sendBuffer, 0, sizeof box.sendBuffer);
    std::memset(box.bufferA, 0, sizeof box.bufferA);
    std::memset(box.bufferB, 0, sizeof box.bufferB);
    for (std::atomic<int>* field :
         {&box.sendLength, &box.expectedLength, &box.receivedLength, &box.connectRequest, &box.disconnectRequest, &box.sendRequest, &box.receiveRequest,
          &box.failedConnects}) {
        field->store(0, std::memory_order_release);
    }
    box.watchedCall.store(0);
    box.watchdogLooksAtMs.store(0);
}

}  // namespace kvt
