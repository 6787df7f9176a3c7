#pragma once
#include "core/ConfigurationRecord.h"
#include "platform/SystemTime.h"

namespace kvt {

extern const char kVersionMark[7];  // "1.01  "

// Fills the whole record with the factory defaults. `language` is the
// language flag (1 English, 0 Japanese) and picks the default tag names;
// `oldestKept` becomes `oldestKeptDate` (the day before the first start).
void fillDefaults(ConfigurationRecord& record, int language, CalendarDate oldestKept);

// The default tag of group g, pen index p in the given language (Shift-JIS
// bytes for Japanese), cut to 16 bytes, into a 17-byte field.
void defaultTag(char (&tag)[17], int language, int group, int pen);

// Yesterday's local date from the active clock.
CalendarDate yesterday();

}  // namespace kvt
