#pragma once
#include "core/ConfigurationRecord.h"

namespace kvt {

// Whether a settings record is one the program could have written: the
// version mark "1.01  " and every field with a documented range inside it
// (modes, codes and flags, node and device numbers, octets, counts, dates
// and clock times, pen kinds, outputs and colours), every real value finite
// and every text field NUL-terminated within its bytes. Returns the name of
// the first field that is not, or nullptr for a plausible record.
const char* firstImplausibleField(const ConfigurationRecord& record);

// Whether a stored date (year, month, day) has a four-digit year, a month
// 1-12 and a day 1-31.
bool isPlausibleDate(const int32_t (&date)[3]);

}  // namespace kvt
