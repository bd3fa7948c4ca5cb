// The root of the program's exception classes, and the ones the engine and
// the platform layer raise themselves.
#pragma once

#include <stdexcept>
#include <string>

namespace lumo {

// Every named exception class derives from this; what() is the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A file that cannot be read ("Can't locate file: ...").
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// A bitmap or other resource could not be made ("Out of Resources").
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

} // namespace lumo
