#include "print/margin_text.h"

#include "platform/text.h"

#include <charconv>
#include <cmath>

namespace lumo {

std::string FormatMargin(double centimetres) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, centimetres);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

double ParseMargin(std::string_view text) {
    std::string_view number = Trim(text);
    if (number.size() > 1 && number[0] == '+' && number[1] != '-') number.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return value;
}

} // namespace lumo
