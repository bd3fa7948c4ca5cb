// Input boxes: a caption, a prompt and one line of text. Tests install their
// own to answer without a window.
#pragma once

#include <optional>
#include <string>

namespace lumo {

class InputBoxes {
public:
    virtual ~InputBoxes() = default;
    // The text the user confirmed, or none when the box was cancelled.
    virtual std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) = 0;
};

InputBoxes& TheInputBoxes();
// Installs a borrowed replacement and returns the previous one; null restores Qt's.
InputBoxes* SetInputBoxes(InputBoxes* boxes);

// Shows the box with value as its text; true (and value changed) on OK.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

} // namespace lumo
