#include "support/ScriptedColourPicker.h"

namespace kvt::test {

ScriptedColourPicker::ScriptedColourPicker() : previous_(installColourPicker(this)) {}

ScriptedColourPicker::~ScriptedColourPicker() { installColourPicker(previous_); }

bool ScriptedColourPicker::pick(Colour initial, Colour& chosen) {
    initialColours.push_back(initial);
    if (answers_.empty()) return false;
    std::optional<Colour> answer = answers_.front();
    answers_.pop_front();
    if (!answer) return false;
    chosen = *answer;
    return true;
}

}  // namespace kvt::test
