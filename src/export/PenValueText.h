#pragma once

namespace kvt {

constexpr int kPenValueTextCapacity = 32;

// The value of a pen field of a day-file row (12 characters) as a number
// text that CSV readers and JSON both take: the field without its spaces
// when it already is one (as the writer writes every value), else the
// shortest text of `value`, the field as the row reader read it. Returns
// the length; 0 for a field without a value (blank, or the no-data value).
int penValueText(const char* field, double value, char (&text)[kPenValueTextCapacity]);

}  // namespace kvt
