#pragma once
#include <span>
#include <string>
#include <string_view>

namespace kvt {

// What an edit of the pen settings dialog lets through.
enum class PenCharacters {
    AnyText,      // any character (Shift-JIS bytes, counted in bytes)
    Hexadecimal,  // 0-9, A-F, a-f (lower case turned into upper case)
    Decimal,      // 0-9
    Number,       // 0-9 . - + e E
    SignedDecimal,  // 0-9 - +
};

// The input filter of one edit: its code, the edit, the most characters
// it keeps and the characters it allows.
struct PenEditFilter {
    int code;
    int editId;
    int maxCharacters;
    PenCharacters allowed;
};

// Every filtered edit of the dialog.
std::span<const PenEditFilter> penEditFilters();
// The filter of an edit, or nullptr for a control without one.
const PenEditFilter* penEditFilterForEdit(int editId);
// The filter with the given code, or nullptr.
const PenEditFilter* penEditFilterForCode(int code);

// Keeps, in order, the characters the filter allows until its maximum is
// reached. Texts of the AnyText class are Shift-JIS: a double-byte
// character is kept whole or not at all, and control characters and lone
// lead bytes are dropped, since they would break the day file's header
// lines.
std::string filterPenText(const PenEditFilter& filter, std::string_view text);

}  // namespace kvt
