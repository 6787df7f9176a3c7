#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "acquisition/RegisterDecoding.h"
#include "core/DeviceTables.h"

namespace kvt {
namespace {

// A 64-register block answer in RTU layout whose register r holds `words[r]`.
std::vector<uint8_t> blockAnswer(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> answer = {1, 3, 128};
    for (int r = 0; r < 64; ++r) {
        uint16_t word = r < static_cast<int>(words.size()) ? words[r] : 0;
        answer.push_back(static_cast<uint8_t>(word >> 8));
        answer.push_back(static_cast<uint8_t>(word & 0xFF));
    }
    answer.push_back(0xAA);  // where a CRC would be: never a register
    answer.push_back(0xBB);
    return answer;
}

TEST(RegisterDecoding, SignednessFollowsTheChannel) {
    EXPECT_EQ(decodeRegisterValue(0xFFFF, 0xFFFF, 193, kKindInt32), 4294967295.0);
    EXPECT_EQ(decodeRegisterValue(0xFFFF, 0xFFFF, 192, kKindInt32), -1.0);
    EXPECT_EQ(decodeRegisterValue(0xFFFF, 0xFFFF, 241, kKindInt32), 4294967295.0);
    EXPECT_EQ(decodeRegisterValue(0xFFFF, 0xFFFF, 242, kKindInt32), -1.0);
    EXPECT_EQ(decodeRegisterValue(0x0000, 0x8000, 1, kKindInt32), -2147483648.0);
}

TEST(RegisterDecoding, KindsScaleTheirIntegers) {
    // 123456 = 0x0001E240: low word first in the register pair.
    EXPECT_DOUBLE_EQ(decodeRegisterValue(0xE240, 0x0001, 1, kKindInt32), 123456.0);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(0xE240, 0x0001, 1, kKindInt32Tenth), 12345.6);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(0xE240, 0x0001, 1, kKindInt32Hundredth), 1234.56);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(9876, 0, 11, kKindPowerFactor), 0.9876);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(0xD8F0, 0xFFFF, 11, kKindPowerFactor), -1.0);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(0xE240, 0x0001, 193, kKindInt32Tenth), 12345.6);
}

TEST(RegisterDecoding, SixteenBitKindIgnoresTheNextRegister) {
    EXPECT_EQ(decodeRegisterValue(0xFFF6, 0x1234, 321, kKindInt16Tenth), -1.0);
    EXPECT_DOUBLE_EQ(decodeRegisterValue(25, 0xFFFF, 200, kKindInt16Tenth), 2.5);
}

TEST(RegisterDecoding, ValuesComeFromTheirRegistersInTheAnswer) {
    std::vector<uint16_t> words(64, 0);
    words[0] = 0xFFFF;  // channel 193 in block 3
    words[1] = 0xFFFF;
    words[29] = 0xFFF6;  // channel 2142 in block 33
    std::vector<uint8_t> answer = blockAnswer(words);
    double value = 0.0;
    ASSERT_TRUE(decodeAnalogValue(answer.data(), 64, 3, 193, kKindInt32, value));
    EXPECT_EQ(value, 4294967295.0);
    ASSERT_TRUE(decodeAnalogValue(answer.data(), 64, 33, 2142, kKindInt16Tenth, value));
    EXPECT_EQ(value, -1.0);
    ASSERT_TRUE(decodeAnalogValue(answer.data(), 64, 33, 2141, kKindInt32, value));
    EXPECT_EQ(value, -655360.0);  // 0xFFF60000 signed
}

TEST(RegisterDecoding, ThirtyTwoBitPenOnTheLastRegisterOfABlockIsNotDecoded) {
    std::vector<uint16_t> words(64, 7);
    std::vector<uint8_t> answer = blockAnswer(words);
    for (int block : {0, 1, 2, 32}) {
        int lastChannel = 64 * (block + 1);
        double value = 42.0;
        EXPECT_FALSE(decodeAnalogValue(answer.data(), 64, block, lastChannel, kKindInt32, value))
            << lastChannel;
        EXPECT_EQ(value, 42.0);
        // One register is enough for the 16-bit kind.
        EXPECT_TRUE(
            decodeAnalogValue(answer.data(), 64, block, lastChannel, kKindInt16Tenth, value));
        EXPECT_DOUBLE_EQ(value, 0.7);
    }
}

TEST(RegisterDecoding, ShortAnswersOfOtherTypesBoundTheRegisters) {
    std::vector<uint16_t> words(64, 1);
    std::vector<uint8_t> answer = blockAnswer(words);
    double value = 0.0;
    // A 16-register answer: channels 1-15 hold a 32-bit pair, 16 does not.
    EXPECT_TRUE(decodeAnalogValue(answer.data(), 16, 0, 15, kKindInt32, value));
    EXPECT_FALSE(decodeAnalogValue(answer.data(), 16, 0, 16, kKindInt32, value));
    EXPECT_TRUE(decodeAnalogValue(answer.data(), 16, 0, 16, kKindInt16Tenth, value));
    EXPECT_FALSE(decodeAnalogValue(answer.data(), 16, 0, 17, kKindInt16Tenth, value));
    EXPECT_FALSE(decodeAnalogValue(answer.data(), 16, 0, 0, kKindInt16Tenth, value));
}

}  // namespace
}  // namespace kvt
