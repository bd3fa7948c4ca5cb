// Exceptions of the main window.
#pragma once

#include "platform/exception.h"

namespace lumo {

// A failed top-level fetch (user abort, connection error, unsupported scheme):
// shown in a plain message box.
class ESpecialException : public Exception {
public:
    using Exception::Exception;
};

// A response whose content type the browser cannot show.
class EContentTypeError : public Exception {
public:
    using Exception::Exception;
};

// A selection too long to copy ("Selected text exceeds buffer size").
class EBufferTooSmall : public Exception {
public:
    using Exception::Exception;
};

} // namespace lumo
