// Message boxes. Tests install their own to see what would have been shown.
#pragma once

#include <string>

namespace lumo {

enum class MessageKind { Plain, Information, Warning, Error, Question };

// Which buttons a box offers, and which one the user pressed.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(MessageKind kind, const std::string& title, const std::string& text,
                               MessageButtons buttons) = 0;
};

MessageBoxes& TheMessageBoxes();
// Installs a borrowed replacement and returns the previous one; null restores Qt's.
MessageBoxes* SetMessageBoxes(MessageBoxes* boxes);

// The title every box carries.
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// A plain box with the text and an OK button.
void ShowMessage(const std::string& text);
// The standard error box for an exception's message.
void ShowErrorMessage(const std::string& text);

} // namespace lumo
