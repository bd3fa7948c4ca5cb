// The tokenizer over any bytes: the builder's way through a page (with the
// TEXTAREA, SCRIPT and style sheet readers), and plain tokens with the
// white-space modes and an include handler.
#include "fuzz/fuzz_support.h"
#include "html/token_dump.h"
#include "html/tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = lumo::fuzz::AsText(data, size);
    lumo::DumpTokens(input);

    lumo::HtmlTokenizer t;
    int ids = 0;
    t.OnID = [&ids](std::string_view, int) { ++ids; };
    t.OnInclude = [](lumo::TViewerBase*, const std::string&, std::vector<std::string>,
                     std::string& buffer) {
        buffer = "<b>included &amp; text</b><!--#include file=x-->";
    };
    t.Begin(input);
    t.InPre = size > 0 && (data[0] & 1);
    t.NoBreak = size > 0 && (data[0] & 2);
    try {
        t.ReadNextChar();
        for (t.NextToken(); t.CurTok != lumo::EofTok; t.NextToken()) {
            if (t.Token.S.size() != t.Token.I.size() || t.Token.S.size() > 100) __builtin_trap();
            for (char c : t.Token.S)
                if (c == 0 || c == 2 || c == 4 || c == 6 || c == 7 || c == 8 ||
                    (c == 5 && !t.NoBreak))
                    __builtin_trap(); // a placeholder byte of the layout in text
        }
    } catch (const lumo::EParseError&) {
    }
    return 0;
}
