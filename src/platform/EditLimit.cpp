#include "platform/EditLimit.h"

#include <algorithm>

#include "platform/SjisText.h"
#include "platform/Utf8.h"

namespace kvt {
namespace {

bool isContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Bytes both texts share at their start, ending on a character boundary.
size_t commonPrefix(std::string_view before, std::string_view after) {
    size_t length = 0;
    size_t most = std::min(before.size(), after.size());
    while (length < most && before[length] == after[length]) ++length;
    while (length > 0 && length < after.size() && isContinuation(after[length])) --length;
    return length;
}

// Bytes both texts share at their end, not reaching into the prefix.
size_t commonSuffix(std::string_view before, std::string_view after, size_t prefix) {
    size_t most = std::min(before.size(), after.size()) - prefix;
    size_t length = 0;
    while (length < most && before[before.size() - 1 - length] == after[after.size() - 1 - length]) {
        ++length;
    }
    while (length > 0 && isContinuation(after[after.size() - length])) --length;
    return length;
}

}  // namespace

std::string limitInsertedText(std::string_view before, std::string_view after, int limitBytes) {
    if (limitBytes <= 0 || sjisByteCount(after) <= limitBytes) return std::string(after);
    size_t prefix = commonPrefix(before, after);
    size_t suffix = commonSuffix(before, after, prefix);
    std::string_view head = after.substr(0, prefix);
    std::string_view tail = after.substr(after.size() - suffix);
    std::string_view inserted = after.substr(prefix, after.size() - prefix - suffix);

    int budget = limitBytes - sjisByteCount(head) - sjisByteCount(tail);
    size_t taken = 0;
    while (taken < inserted.size()) {
        size_t length = utf8CharLength(static_cast<unsigned char>(inserted[taken]));
        length = std::min(length, inserted.size() - taken);
        int bytes = sjisByteCount(inserted.substr(taken, length));
        if (bytes > budget) break;
        budget -= bytes;
        taken += length;
    }
    std::string result(head);
    result.append(inserted.substr(0, taken));
    result.append(tail);
    return result;
}

}  // namespace kvt
