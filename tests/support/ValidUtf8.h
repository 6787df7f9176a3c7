#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvt::test {

// Length of the UTF-8 sequence starting at `text[at]`, or 0 when it is not
// a valid, shortest-form encoding of a Unicode scalar value.
inline size_t utf8SequenceLength(std::string_view text, size_t at) {
    auto byteAt = [&](size_t index) { return static_cast<unsigned char>(text[index]); };
    unsigned char lead = byteAt(at);
    if (lead < 0x80) return 1;
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return 0;
    uint32_t code = lead & (0x7F >> length);
    for (size_t index = 1; index < length; ++index) {
        unsigned char next = byteAt(at + index);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= kShortest[length] && code <= 0x10FFFF && !surrogate ? length : 0;
}

// Whether `text` is valid UTF-8 throughout, as the toolkit's texts must be.
inline bool isValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace kvt::test
