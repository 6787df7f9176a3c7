#include "acquisition/RegisterDecoding.h"

#include "core/DeviceTables.h"

namespace kvt {
namespace {

double factorOf(int dataKind) {
    switch (dataKind) {
    case kKindInt32Tenth:
        return 0.1;
    case kKindInt32Hundredth:
        return 0.01;
    case kKindPowerFactor:
        return 0.0001;
    default:
        return 1.0;
    }
}

// Index of `channel` within the answer of `block`, or -1 when `needed`
// registers from there are not all in the answer.
int registerIndex(int registerCount, int block, int channel, int needed) {
    int r = channel - 1 - kMod15BlockRegisterCount * block;
    if (r < 0 || r + needed > registerCount) return -1;
    return r;
}

}  // namespace

uint16_t answerRegister(const uint8_t* answer, int r) {
    const uint8_t* data = answer + kAnswerDataOffset + 2 * r;
    return static_cast<uint16_t>((data[0] << 8) | data[1]);
}

double decodeRegisterValue(uint16_t low, uint16_t high, int channel, int dataKind) {
    if (dataKind == kKindInt16Tenth) return static_cast<int16_t>(low) * 0.1;
    uint32_t raw = static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
    double integer = isUnsignedChannel(channel) ? static_cast<double>(raw)
                                                : static_cast<double>(static_cast<int32_t>(raw));
    return integer * factorOf(dataKind);
}

bool decodeAnalogValue(const uint8_t* answer, int registerCount, int block, int channel,
                       int dataKind, double& value) {
    int needed = dataKind == kKindInt16Tenth ? 1 : 2;
    int r = registerIndex(registerCount, block, channel, needed);
    if (r < 0) return false;
    uint16_t high = needed == 2 ? answerRegister(answer, r + 1) : 0;
    value = decodeRegisterValue(answerRegister(answer, r), high, channel, dataKind);
    return true;
}

int powerFactorStatusChannel(int channel) {
    switch (channel) {
    case 11:
        return 15;
    case 71:
        return 77;
    case 73:
        return 79;
    case 75:
        return 81;
    default:
        return 0;
    }
}

bool decodeStatusByte(const uint8_t* answer, int registerCount, int block, int statusChannel,
                      uint8_t& status) {
    int r = registerIndex(registerCount, block, statusChannel, 1);
    if (r < 0) return false;
    status = static_cast<uint8_t>(answerRegister(answer, r) & 0xFF);
    return true;
}

}  // namespace kvt
