#include "acquisition/TcpAnswerReader.h"

#include "acquisition/RequestMailbox.h"
#include "core/RunFlags.h"
#include "platform/TcpClient.h"

namespace kvt {

int tcpFrameLength(const uint8_t* bytes, int have) {
    if (have < kTcpResponseHeaderBytes) return 0;
    return kTcpResponseHeaderBytes + ((bytes[4] << 8) | bytes[5]);
}

bool tcpAnswerComplete(const uint8_t* bytes, int received) {
    constexpr int kUnitAndFunctionBytes = 2;
    if (received < kTcpResponseHeaderBytes + kUnitAndFunctionBytes) return false;
    bool protocolZero = bytes[2] == 0 && bytes[3] == 0;
    return protocolZero && tcpFrameLength(bytes, received) == received;
}

int receiveTcpAnswer(TcpClient& client, uint8_t* buffer, int expected, int limitMs) {
    int received = 0;
    while (received < expected) {
        int more = client.receiveSome(buffer + received, expected - received, limitMs);
        if (more <= 0) break;
        received += more;
        int frame = tcpFrameLength(buffer, received);
        if (frame > 0 && frame <= received) break;  // complete, however long
        if (load(exitRequested) != 0) break;
    }
    return received;
}

}  // namespace kvt
