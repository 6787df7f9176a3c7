#pragma once
#include <string>

namespace kvt {

// Texts of the top bar as Shift-JIS bytes (the drawing code's encoding),
// converted once from the program's UTF-8 literals. `language` is the
// language flag: 1 English, 0 Japanese.

// Caption of command button `index` in live or playback modes.
const std::string& commandCaption(int language, bool playback, int index);

enum class CaptionReplacement { Hide, Stop, Normal };
const std::string& replacementCaption(int language, CaptionReplacement which);

// "Group:%d" and the cycle text of a group (0 = high speed, else the
// storing cycle index 0-5; any other index shows as 0.5 s).
std::string groupText(int language, int group);
const std::string& cycleText(int language, int group, int storingCycle);

}  // namespace kvt
