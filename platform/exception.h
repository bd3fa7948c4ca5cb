// The root of the program's exception classes.
#pragma once

#include <stdexcept>
#include <string>

namespace lumo {

// Every named exception class derives from this; what() is the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

} // namespace lumo
