#include "ReplyBuilder.h"

#include <sys/socket.h>
#include <unistd.h>

namespace kvt::nodesim {

ReplyBuilder::ReplyBuilder() {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair_) != 0) return;
    // The RTU context is never connected: it only formats into the pair.
    rtu_ = modbus_new_rtu("/dev/null", 38400, 'O', 8, 1);
    tcp_ = modbus_new_tcp("127.0.0.1", 502);
    if (rtu_ != nullptr) modbus_set_socket(rtu_, pair_[0]);
    if (tcp_ != nullptr) modbus_set_socket(tcp_, pair_[0]);
}

ReplyBuilder::~ReplyBuilder() {
    // The contexts do not own the pair; detach before freeing them.
    for (modbus_t* context : {rtu_, tcp_}) {
        if (context == nullptr) continue;
        modbus_set_socket(context, -1);
        modbus_free(context);
    }
    for (int end : pair_) {
        if (end >= 0) ::close(end);
    }
}

modbus_t* ReplyBuilder::contextFor(Framing framing, int unit) {
    modbus_t* context = framing == Framing::Rtu ? rtu_ : tcp_;
    modbus_set_slave(context, unit);
    return context;
}

std::vector<uint8_t> ReplyBuilder::collect(int sent) {
    std::vector<uint8_t> answer;
    if (sent <= 0) return answer;
    answer.resize(static_cast<size_t>(sent));
    size_t got = 0;
    while (got < answer.size()) {
        ssize_t result = ::read(pair_[1], answer.data() + got, answer.size() - got);
        if (result <= 0) break;
        got += static_cast<size_t>(result);
    }
    answer.resize(got);
    return answer;
}

std::vector<uint8_t> ReplyBuilder::reply(Framing framing, int unit, const uint8_t* request,
                                         int length, modbus_mapping_t* mapping) {
    return collect(modbus_reply(contextFor(framing, unit), request, length, mapping));
}

std::vector<uint8_t> ReplyBuilder::exception(Framing framing, int unit, const uint8_t* request,
                                             int code) {
    return collect(
        modbus_reply_exception(contextFor(framing, unit), request, static_cast<unsigned>(code)));
}

}  // namespace kvt::nodesim
