#pragma once
#include <modbus.h>

#include <cstdint>
#include <vector>

namespace kvt::nodesim {

enum class Framing { Rtu, Tcp };

// Lets libmodbus compose the answers: a context of each framing writes into
// one end of a socket pair, and the answer is taken from the other end, so
// the servers can delay, split or spoil it before it goes out.
class ReplyBuilder {
public:
    ReplyBuilder();
    ~ReplyBuilder();
    ReplyBuilder(const ReplyBuilder&) = delete;
    ReplyBuilder& operator=(const ReplyBuilder&) = delete;

    bool ready() const { return rtu_ != nullptr && tcp_ != nullptr && pair_[1] >= 0; }

    // The answer to a complete request frame (RTU with CRC, or TCP with its
    // header) from `mapping` as node `unit`. Empty when libmodbus gives none.
    std::vector<uint8_t> reply(Framing framing, int unit, const uint8_t* request, int length,
                               modbus_mapping_t* mapping);
    // An exception answer with `code`.
    std::vector<uint8_t> exception(Framing framing, int unit, const uint8_t* request, int code);

private:
    modbus_t* contextFor(Framing framing, int unit);
    std::vector<uint8_t> collect(int sent);

    modbus_t* rtu_ = nullptr;
    modbus_t* tcp_ = nullptr;
    int pair_[2] = {-1, -1};  // [0] libmodbus writes, [1] we read
};

}  // namespace kvt::nodesim
