// Input boxes answered from a queue instead of shown, for the life of the
// object; with no answer left a box is cancelled.
#pragma once

#include "platform/input_box.h"

#include <deque>
#include <string>
#include <vector>

namespace lumo::test {

class ScriptedInput : public InputBoxes {
public:
    ScriptedInput() { previous_ = SetInputBoxes(this); }
    ~ScriptedInput() override { SetInputBoxes(previous_); }
    ScriptedInput(const ScriptedInput&) = delete;
    ScriptedInput& operator=(const ScriptedInput&) = delete;

    std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override {
        asked.push_back(caption + "|" + prompt + "|" + initial);
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked; // "caption|prompt|initial text"

private:
    InputBoxes* previous_;
};

} // namespace lumo::test
