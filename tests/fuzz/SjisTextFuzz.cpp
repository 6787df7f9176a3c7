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
#include "support/ValidUtf8.h"

namespace kvt {
namespace {

size_t countOf(std::string_view text, char wanted) {
    size_t count = 0;
    for (char character : text) count += character == wanted ? 1 : 0;
    return count;
}

void checkToUtf8(std::string_view sjis) {
    std::string utf8 = sjisToUtf8(sjis);
    FUZZ_CHECK(test::isValidUtf8(utf8));
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
