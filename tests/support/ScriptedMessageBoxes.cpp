#include "support/ScriptedMessageBoxes.h"

namespace kvt::test {

ScriptedMessageBoxes::ScriptedMessageBoxes() : previous_(installMessageBoxProvider(this)) {}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { installMessageBoxProvider(previous_); }

int ScriptedMessageBoxes::show(std::string_view text, MessageBoxButtons shownButtons) {
    texts.emplace_back(text);
    buttons.push_back(shownButtons);
    if (answers_.empty()) return IDOK;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace kvt::test
