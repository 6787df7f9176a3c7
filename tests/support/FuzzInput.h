#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace kvt::test {

// Reads a fuzz input as a stream of choices. Once the bytes run out every
// read gives zeros, so any input, however short, is a complete run.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    size_t remaining() const { return empty() ? 0 : size_ - position_; }

    uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    bool flag() { return (byte() & 1) != 0; }

    uint16_t word() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    uint32_t u32() { return word() | (static_cast<uint32_t>(word()) << 16); }
    uint64_t u64() { return u32() | (static_cast<uint64_t>(u32()) << 32); }
    int32_t anyInt() { return static_cast<int32_t>(u32()); }

    // A value in low..high (both included), from one byte or two.
    int intInRange(int low, int high) {
        uint32_t span = static_cast<uint32_t>(high - low) + 1;
        uint32_t raw = span <= 256 ? byte() : word();
        return low + static_cast<int>(raw % span);
    }

    // Any bit pattern: NaNs, infinities, subnormals, negative zero.
    double anyDouble() {
        uint64_t bits = u64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Up to `count` bytes as they come (fewer at the end of the input).
    std::string_view bytes(size_t count) {
        size_t taken = count < remaining() ? count : remaining();
        std::string_view view(reinterpret_cast<const char*>(data_ + position_), taken);
        position_ += taken;
        return view;
    }
    std::string_view rest() { return bytes(remaining()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// A heap buffer of exactly `count` elements, so that AddressSanitizer
// reports any access before or after it.
template <typename Element = char>
std::unique_ptr<Element[]> exactBuffer(size_t count) {
    return std::unique_ptr<Element[]>(new Element[count]);
}

// A fuzz harness's assertion: reports the broken rule and aborts, which
// libFuzzer records as a crash with its input and the replay test as a
// failure.
[[noreturn]] inline void fuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace kvt::test

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::kvt::test::fuzzCheckFailed(#condition, __FILE__, __LINE__))
