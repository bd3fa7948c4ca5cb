// Print margins as the settings dialog shows and reads them: decimal
// numbers with a point, written in their shortest form ("2", "2.5"), the
// same under every locale.
#pragma once

#include "platform/exception.h"

#include <string>
#include <string_view>

namespace lumo {

// A text that is not a number where one is needed.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

std::string FormatMargin(double centimetres);

// Blanks around the number are allowed. Raises EConvertError
// "'TEXT' is not a valid floating point value" for anything else.
double ParseMargin(std::string_view text);

} // namespace lumo
