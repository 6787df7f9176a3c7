#pragma once
#include <deque>
#include <optional>
#include <vector>

#include "platform/ColourPicker.h"

namespace kvt::test {

// Answers colour pickers from a queue: a colour confirms it, nullopt (or
// an empty queue) cancels. Records the colour each picker started from.
// Installed for its lifetime.
class ScriptedColourPicker final : public ColourPicker {
public:
    ScriptedColourPicker();
    ~ScriptedColourPicker() override;

    bool pick(Colour initial, Colour& chosen) override;
    void answerNext(std::optional<Colour> answer) { answers_.push_back(answer); }

    std::vector<Colour> initialColours;

private:
    std::deque<std::optional<Colour>> answers_;
    ColourPicker* previous_;
};

}  // namespace kvt::test
