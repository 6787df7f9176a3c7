#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace kvt::test {

// Answers message boxes from a queue (IDOK when it is empty) and records
// what was shown. Installed for its lifetime.
class ScriptedMessageBoxes final : public MessageBoxProvider {
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes() override;

    int show(std::string_view text, MessageBoxButtons buttons) override;
    void answerNext(int answer) { answers_.push_back(answer); }

    std::vector<std::string> texts;
    std::vector<MessageBoxButtons> buttons;

private:
    std::deque<int> answers_;
    MessageBoxProvider* previous_;
};

}  // namespace kvt::test
