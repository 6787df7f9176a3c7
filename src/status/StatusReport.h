#pragma once
#include <string>
#include <vector>

#include "status/RecorderStatus.h"

namespace kvt {

// The words of the status: `kvt936p --status` prints the text (English) or
// the JSON object; the window shows the node table in its language.

// "2026-06-10T09:00:00+09:00" in local time; "" for 0.
std::string isoTime(int64_t epochSeconds);

// "demo", "normal" or "high speed".
const char* modeName(int operatingMode);

// The whole status as lines of text, ending in a line feed.
std::string statusText(const RecorderStatus& status);

// The whole status as one JSON object on one line, ending in a line feed:
// version, holder ("window" or "headless"), mode, measuring, since, nodes
// [{node, requests, answers, timeouts, bad_answers, bad_length, bad_crc,
// exceptions, last_answer}], groups [{group, storing_mode, rows_today,
// last_row, dropped}], dropped_in_all, write_failure (null or its text),
// publisher (null when publishing is off, else {connected, broker,
// spooled, dropped, last_error (null or its text)}). Times are ISO 8601
// with the offset, or null.
std::string statusJson(const RecorderStatus& status);

// The node table: a header line, then one line per node, columns lined up
// for a fixed-pitch font (a Japanese header letter other than half-width
// kana takes two columns). `timesOfDay` shows the last answer as the time
// of day (with the date when it is not today), else in full.
std::vector<std::string> nodeTableLines(const RecorderStatus& status, bool japanese,
                                        bool timesOfDay);

}  // namespace kvt
