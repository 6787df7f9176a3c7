// Fuzz target: Shift-JIS conversion. Stored texts (tags, units, the alarm
// history) are Shift-JIS bytes from the settings file and may be damaged;
// typed texts are UTF-8. Whatever the bytes, converting to UTF-8 gives valid
// UTF-8 of bounded length, converting to Shift-JIS gives bytes that convert
// back without a fault, a text converted once converts back and forth to
// itself, and the character walk of the screen's text drawing steps 1 or 2
// bytes at a time and stays inside the text.
#include <string>
#include <string_view>

#include "platform/DeviceContext.h"
#include "platform/SjisText.h"
#include "support/FuzzInput.h"

namespace kvt {
namespace {

// Length of the UTF-8 sequence starting at `text[at]`, or 0 when it is not
// a valid, shortest-form encoding of a Unicode scalar value.
size_t utf8SequenceLength(std::string_view text, size_t at) {
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

bool isValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

size_t countOf(std::string_view text, char wanted) {
    size_t count = 0;
    for (char character : text) count += character == wanted ? 1 : 0;
    return count;
}

void checkToUtf8(std::string_view sjis) {
    std::string utf8 = sjisToUtf8(sjis);
    FUZZ_CHECK(isValidUtf8(utf8));
    // One byte (half-width katakana) or two give at most three UTF-8 bytes.
    FUZZ_CHECK(utf8.size() <= 3 * sjis.size());
    // Once converted, the text goes to Shift-JIS and back unchanged.
    std::string again = utf8ToSjis(utf8);
    FUZZ_CHECK(sjisToUtf8(again) == utf8);
}

void checkToSjis(std::string_view utf8) {
    std::string sjis = utf8ToSjis(utf8);
    FUZZ_CHECK(sjis.size() <= utf8.size());
    // Every byte came out of a conversion or is a '?' for what could not
    // convert: reading it back needs no replacement of its own.
    std::string back = sjisToUtf8(sjis);
    FUZZ_CHECK(countOf(back, '?') == countOf(sjis, '?'));
}

void checkCharacterWalk(std::string_view sjis) {
    for (size_t at = 0; at < sjis.size();) {
        int length = sjisCharLength(sjis.substr(at));
        FUZZ_CHECK(length == 1 || length == 2);
        FUZZ_CHECK(at + static_cast<size_t>(length) <= sjis.size());
        at += static_cast<size_t>(length);
    }
    FUZZ_CHECK(sjisCharLength(std::string_view()) == 0);
}

void checkDrawing(std::string_view sjis, int x) {
    static DeviceContext surface(96, 24);
    surface.setBackgroundMode(BackgroundMode::Opaque);
    surface.textOut(x, 2, sjis);
    FUZZ_CHECK(surface.textWidth(sjis) >= 0);
}

}  // namespace
}  // namespace kvt

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvt;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    checkToUtf8(text);
    checkToSjis(text);
    checkCharacterWalk(text);
    checkDrawing(text, size > 0 ? static_cast<int>(data[0] % 64) - 32 : 0);
    return 0;
}
