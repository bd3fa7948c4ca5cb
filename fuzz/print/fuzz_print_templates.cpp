// Any bytes as the settings a user types: a header template, a date format
// and a margin.
#include "fuzz/fuzz_support.h"
#include "print/margin_text.h"
#include "print/print_settings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = lumo::fuzz::AsText(data, size);
    const lumo::TMacroValues values{"[page] title", std::string(input), "[date]", 12};
    const std::string expanded = lumo::ExpandTemplate(input, values);
    // Each macro adds at most its value.
    if (expanded.size() > input.size() * 2 + 64) __builtin_trap();
    const std::string date = lumo::FormatDate(input, {1999, 12, 31, 23, 59, 58});
    if (date.size() > input.size() * 9 + 1) __builtin_trap();
    try {
        const double margin = lumo::ParseMargin(input);
        if (lumo::ParseMargin(lumo::FormatMargin(margin)) != margin) __builtin_trap();
    } catch (const lumo::EConvertError&) {
    }
    return 0;
}
