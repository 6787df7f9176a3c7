#include "platform/SjisText.h"

#include <iconv.h>

#include <cerrno>

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

int sjisCharLength(std::string_view sjis) {
    if (sjis.empty()) return 0;
    unsigned char lead = static_cast<unsigned char>(sjis[0]);
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return isLead && sjis.size() >= 2 ? 2 : 1;
}

}  // namespace kvt
