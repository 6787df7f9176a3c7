#pragma once
#include <string>
#include <string_view>

#include "export/PenLabels.h"

namespace kvt {

// Appends a CSV field as RFC 4180 writes it: in double quotes, with inner
// quotes doubled, when it holds a comma, a quote or a line break.
void appendCsvField(std::string& out, std::string_view field);

// "tag [unit]" ("tag" without a unit, "pen N" for a pen without a tag),
// after "G<group> " when `group` is not -1.
std::string columnName(const PenLabel& label, int group);

}  // namespace kvt
