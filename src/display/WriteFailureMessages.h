#pragma once
#include <string>

#include "recording/WriteFailure.h"
#include "recording/WriteOutage.h"

namespace kvt {

// The messages of a write outage, in UTF-8, in the language given
// (1 English, 0 Japanese).
std::string writeFailureText(const WriteFailure& failure, int language);
std::string writingResumedText(const OutageDrops& drops, int language);

// Window thread: shows the message of kCommandWriteFailed or of
// kCommandWritingResumed, in the language in force.
void reportWriteFailure();
void reportWritingResumed();

}  // namespace kvt
