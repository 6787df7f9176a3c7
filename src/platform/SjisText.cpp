#include "platform/SjisText.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "platform/Utf8.h"

namespace kvt {
namespace {

// Converts with iconv; a byte that cannot be converted becomes '?' so a
// damaged stored text still shows what it can.
std::string convert(const char* to, const char* from, std::string_view input) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::string output;
    output.resize(input.size() * 4 + 8);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) break;
        ++in;
        --inLeft;
        if (outLeft > 0) {
            *out++ = '?';
            --outLeft;
        }
    }
    output.resize(output.size() - outLeft);
    iconv_close(converter);
    return output;
}

}  // namespace

std::string sjisToUtf8(std::string_view sjis) { return convert("UTF-8", "CP932", sjis); }

std::string utf8ToSjis(std::string_view utf8) { return convert("CP932", "UTF-8", utf8); }

char32_t sjisCodePoint(uint16_t code) {
    unsigned char bytes[2];
    size_t length = 0;
    if (code > 0xFF) bytes[length++] = static_cast<unsigned char>(code >> 8);
    bytes[length++] = static_cast<unsigned char>(code & 0xFF);
    if (length == 1 && bytes[0] < 0x80) return bytes[0];
    static std::mutex decoderMutex;
    static iconv_t decoder = iconv_open("UTF-32LE", "CP932");
    if (decoder == reinterpret_cast<iconv_t>(-1)) return 0;
    std::lock_guard<std::mutex> lock(decoderMutex);
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    char32_t decoded = 0;
    char* in = reinterpret_cast<char*>(bytes);
    char* out = reinterpret_cast<char*>(&decoded);
    size_t inLeft = length;
    size_t outLeft = sizeof decoded;
    if (iconv(decoder, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return 0;
    return decoded;
}

int sjisCharLength(std::string_view sjis) {
    if (sjis.empty()) return 0;
    unsigned char lead = static_cast<unsigned char>(sjis[0]);
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return isLead && sjis.size() >= 2 ? 2 : 1;
}

int sjisByteCount(std::string_view utf8) {
    int bytes = 0;
    for (size_t at = 0; at < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[at]);
        if (lead < 0x80) {
            ++bytes;
            ++at;
            continue;
        }
        size_t length = utf8CharLength(lead);
        // Half-width katakana U+FF61 to U+FF9F: EF BD A1 to EF BE 9F.
        bool halfWidth = length == 3 && at + 2 < utf8.size() && lead == 0xEF &&
                         ((static_cast<unsigned char>(utf8[at + 1]) == 0xBD &&
                           static_cast<unsigned char>(utf8[at + 2]) >= 0xA1) ||
                          (static_cast<unsigned char>(utf8[at + 1]) == 0xBE &&
                           static_cast<unsigned char>(utf8[at + 2]) <= 0x9F));
        bytes += halfWidth ? 1 : 2;
        at += length;
    }
    return bytes;
}

}  // namespace kvt
