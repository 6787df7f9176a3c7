#include "settings/PenEditFilters.h"

#include "platform/SjisText.h"
#include "settings/PenDialogIds.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr PenEditFilter kFilters[] = {
    {1, kTagEdit, 16, PenCharacters::AnyText},
    {2, kUnitEdit, 6, PenCharacters::AnyText},
    {3, kNodeEdit, 2, PenCharacters::Hexadecimal},
    {4, kChannelEdit, 4, PenCharacters::Decimal},
    {201, kOffNameEdit, 10, PenCharacters::AnyText},
    {202, kOnNameEdit, 10, PenCharacters::AnyText},
    {203, kOffDelayEdit, 2, PenCharacters::Decimal},
    {204, kOnDelayEdit, 2, PenCharacters::Decimal},
    {205, kOffNodeEdit, 2, PenCharacters::Hexadecimal},
    {206, kOnNodeEdit, 2, PenCharacters::Hexadecimal},
    {207, kOffChannelEdit, 1, PenCharacters::Decimal},
    {208, kOnChannelEdit, 1, PenCharacters::Decimal},
    {301, kInputLowEdit, 8, PenCharacters::Number},
    {302, kInputHighEdit, 8, PenCharacters::Number},
    {303, kScaleLowEdit, 8, PenCharacters::Number},
    {304, kScaleHighEdit, 8, PenCharacters::Number},
    {305, kPlotLowEdit, 8, PenCharacters::Number},
    {306, kPlotHighEdit, 8, PenCharacters::Number},
    {307, kSetpointLowEdit, 8, PenCharacters::Number},
    {308, kSetpointHighEdit, 8, PenCharacters::Number},
    {309, kDeadbandLowEdit, 8, PenCharacters::Number},
    {310, kDeadbandHighEdit, 8, PenCharacters::Number},
    {311, kOutputNodeLowEdit, 2, PenCharacters::Hexadecimal},
    {312, kOutputNodeHighEdit, 2, PenCharacters::Hexadecimal},
    {313, kOutputChannelLowEdit, 1, PenCharacters::Decimal},
    {314, kOutputChannelHighEdit, 1, PenCharacters::Decimal},
    {315, kLogExponentEdit, 2, PenCharacters::SignedDecimal},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7F; }

// A lead byte without its trail byte (a damaged stored text) would join
// with whatever follows it, such as the comma after a tag in a header line.
bool isLoneLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Whether a single-byte character belongs to a numeric class.
bool allowedInClass(PenCharacters allowed, char c) {
    switch (allowed) {
    case PenCharacters::Hexadecimal:
        return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    case PenCharacters::Decimal:
        return isDigit(c);
    case PenCharacters::Number:
        return isDigit(c) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    case PenCharacters::SignedDecimal:
        return isDigit(c) || c == '-' || c == '+';
    case PenCharacters::AnyText:
        break;
    }
    return false;
}

std::string filterAnyText(std::string_view text, size_t maxBytes) {
    std::string kept;
    while (!text.empty()) {
        size_t length = static_cast<size_t>(sjisCharLength(text));
        unsigned char first = static_cast<unsigned char>(text[0]);
        if (length == 1 && (isControlCharacter(first) || isLoneLeadByte(first))) {
            text.remove_prefix(1);
            continue;
        }
        if (kept.size() + length > maxBytes) break;
        kept.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return kept;
}

// Numeric classes: only single-byte characters can match, so the trail
// byte of a double-byte character (which may look like a letter) is
// skipped with its lead byte.
std::string filterNumeric(std::string_view text, const PenEditFilter& filter) {
    std::string kept;
    while (!text.empty() && static_cast<int>(kept.size()) < filter.maxCharacters) {
        size_t length = static_cast<size_t>(sjisCharLength(text));
        char c = text[0];
        text.remove_prefix(length);
        if (length != 1 || !allowedInClass(filter.allowed, c)) continue;
        if (filter.allowed == PenCharacters::Hexadecimal && c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        kept.push_back(c);
    }
    return kept;
}

}  // namespace

std::span<const PenEditFilter> penEditFilters() { return kFilters; }

const PenEditFilter* penEditFilterForEdit(int editId) {
    for (const PenEditFilter& filter : kFilters) {
        if (filter.editId == editId) return &filter;
    }
    return nullptr;
}

const PenEditFilter* penEditFilterForCode(int code) {
    for (const PenEditFilter& filter : kFilters) {
        if (filter.code == code) return &filter;
    }
    return nullptr;
}

std::string filterPenText(const PenEditFilter& filter, std::string_view text) {
    if (filter.allowed == PenCharacters::AnyText) {
        return filterAnyText(text, static_cast<size_t>(filter.maxCharacters));
    }
    return filterNumeric(text, filter);
}

}  // namespace kvt
