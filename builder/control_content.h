// The content of form controls as the markup gives it: the options of a
// SELECT and the lines of a TEXTAREA, for the controls to take.
#pragma once

#include "html/tokenizer.h"

#include <functional>
#include <string>
#include <vector>

namespace lumo {

struct TSelectOption {
    std::string Text;  // trimmed, at most MaxOptionText bytes
    std::string Value; // VALUE, at most MaxOptionText bytes; "" without one
    bool Selected = false;
};

inline constexpr size_t MaxOptionText = 255;
// Options past this many are read and dropped.
inline constexpr size_t MaxSelectOptions = 100000;
// A text area keeps this many bytes of text.
inline constexpr size_t MaxTextAreaText = 1u << 20;

// SELECT current: reads the options up to </SELECT> or the end of input,
// which is left current. next reads the next token. An option whose text is
// empty is dropped.
std::vector<TSelectOption> ReadSelectOptions(HtmlTokenizer& p, const std::function<void()>& next);

// TEXTAREA current: reads its text as it stands (tags other than its end
// tag are text) up to past the end tag's '>' or the end of input; one entry
// per line, an empty last line dropped.
std::vector<std::string> ReadTextAreaLines(HtmlTokenizer& p);

} // namespace lumo
