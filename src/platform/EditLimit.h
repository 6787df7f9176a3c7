#pragma once
#include <string>
#include <string_view>

namespace kvt {

// An edit's text after a change from `before` to `after` (UTF-8) when the
// edit holds at most `limitBytes` Shift-JIS bytes: what the change inserted
// is cut, character by character, until the text fits; the rest of the text
// stays as it was. A limit of 0 or less leaves `after` alone.
std::string limitInsertedText(std::string_view before, std::string_view after, int limitBytes);

}  // namespace kvt
