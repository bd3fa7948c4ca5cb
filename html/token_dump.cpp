#include "html/token_dump.h"

#include "html/style_list.h"
#include "html/tokenizer.h"
#include "platform/text.h"

namespace lumo {

namespace {

void Ranges(std::string& out, const std::vector<int>& positions) {
    out += " @";
    for (size_t i = 0; i < positions.size();) {
        size_t j = i;
        while (j + 1 < positions.size() && positions[j + 1] == positions[j] + 1)
            ++j;
        if (i > 0) out += ',';
        out += std::to_string(positions[i]);
        if (j > i) out += '-' + std::to_string(positions[j]);
        i = j + 1;
    }
}

} // namespace

std::string DumpToken(const HtmlTokenizer& t) {
    std::string out(SymbolName(t.CurTok));
    // Tags leave Token empty; the TEXTAREA and SCRIPT scanners keep their text in it.
    const bool tag = t.Token.S.empty() && t.CurTok != EofTok && t.CurTok != EolTok;
    if (tag) {
        if (t.HeadingLevel) out += " h" + std::to_string(t.HeadingLevel);
        out += " @" + std::to_string(t.TagIndex);
        for (const auto& attr : t.Attributes) {
            out += ' ';
            out += SymbolName(attr->Which);
            out += '=' + QuotedBytes(attr->Name, true);
            if (attr->Value) out += '=' + std::to_string(attr->Value);
        }
    } else if (t.CurTok != EofTok && t.CurTok != EolTok) {
        out += ' ' + QuotedBytes(t.Token.S, true);
        Ranges(out, t.Token.I);
    }
    return out;
}

std::string DumpTokens(std::string_view document) {
    HtmlTokenizer t;
    t.Begin(document);
    std::string out;
    auto line = [&] { out += DumpToken(t) + '\n'; };
    try {
        t.ReadNextChar();
        t.NextToken();
        while (t.CurTok != EofTok) {
            line();
            switch (t.CurTok) {
            case TextAreaTok: t.ReadTextArea(line); break;
            case ScriptTok:
                t.InScript = true;
                for (t.NextScriptToken(); t.CurTok != EofTok; t.NextScriptToken()) {
                    line();
                    if (t.CurTok == ScriptEndTok) break;
                }
                t.InScript = false;
                break;
            case StyleTok: {
                TStyleList styles;
                t.ReadStyleBlock(styles);
                out += "StyleSheet " + std::to_string(styles.Count()) + " rules\n";
                break;
            }
            case PreTok: t.InPre = true; break;
            case PreEndTok: t.InPre = false; break;
            case NoBrTok: t.NoBreak = true; break;
            case NoBrEndTok: t.NoBreak = false; break;
            default: break;
            }
            t.NextToken();
        }
        line();
    } catch (const EParseError& e) {
        out += std::string("ERROR ") + e.what() + '\n';
    }
    return out;
}

} // namespace lumo
