// Elements read with their own rules: PRE (character by character), SCRIPT,
// MAP, and the option lists and text of SELECT and TEXTAREA.
#include "builder/document_builder_state.h"

#include "layout/map_item.h"
#include "layout/page_break.h"
#include "layout/pre_section.h"
#include "layout/section_list.h"
#include "platform/text.h"

namespace lumo {

namespace {

// Scripts handed to the host are cut here.
constexpr size_t kMaxScript = 8u << 20;

} // namespace

void THtmlBuilder::ParsePre() {
    // Where PRE's entry goes: taken before the push, which a full stack refuses.
    const int depth = Stack->PropStackTop() + 1;
    TBlock* block = BeginElementBlock("pre");
    P.InPre = true;
    OpenSection();
    TokenObj line;
    TBlock* paragraph = nullptr;
    TBlock* form = nullptr;
    auto flush = [&] {
        if (line.Leng() == 0) return;
        EnsureSection();
        ActiveSection->AppendToken(line);
        line.Clear();
    };
    auto newLine = [&] {
        flush();
        OpenSection();
    };
    auto endParagraph = [&] {
        flush();
        if (ActiveSection && ActiveSection->Text.empty()) DropSection();
        EndElementBlock(paragraph, "p");
        paragraph = nullptr;
    };
    auto endForm = [&] {
        flush();
        EndElementBlock(form, "form");
        form = nullptr;
    };
    bool done = false;
    while (!done) {
        switch (P.CaseChar) {
        case '\r':
            newLine();
            P.ReadNextChar();
            break;
        case EofCh: done = true; break;
        case '&':
            Next();
            line.AddString(P.Token);
            break;
        case '<': {
            Next();
            const TokenKind tok = Cur();
            switch (tok) {
            case PreEndTok:
            case TDEndTok:
            case THEndTok:
            case EofTok: done = true; break;
            case TextTok:
                // A "<" that opens no tag, or the text after a comment.
                for (size_t i = 0; i < P.Token.S.size(); ++i) {
                    if (P.Token.S[i] == '\r') {
                        newLine();
                    } else {
                        line.AddChar(P.Token.S[i], P.Token.I[i]);
                    }
                }
                break;
            case BRTok:
                newLine();
                if (P.CaseChar == '\r') P.ReadNextChar();
                break;
            case PTok:
                if (paragraph) {
                    endParagraph();
                } else {
                    flush();
                    FinishSection();
                }
                if (P.CaseChar == '\r') P.ReadNextChar();
                if (!DeepEnough()) paragraph = BeginElementBlock("p");
                OpenSection();
                break;
            case PEndTok:
                if (paragraph) {
                    endParagraph();
                    OpenSection();
                }
                break;
            case FormTok:
                if (form) {
                    endForm();
                } else {
                    flush();
                    FinishSection();
                }
                if (!DeepEnough() && !paragraph) form = BeginElementBlock("form");
                OpenSection();
                break;
            case FormEndTok:
                if (form) {
                    endForm();
                    OpenSection();
                }
                break;
            case SelectTok:
                flush();
                SkipSelect();
                break;
            case TextAreaTok:
                flush();
                SkipTextArea();
                break;
            case MapTok: ParseMap(); break;
            case ScriptTok: RunScript(P, RootList.OnScript, RootList.Viewer); break;
            case PageTok:
                flush();
                FinishSection();
                ActiveCell->AddItem(std::make_unique<TPage>(RootList));
                OpenSection();
                break;
            case FontTok:
            case BaseFontTok:
                flush();
                if (ReadFontAttributes(tok, PreFontSizes)) FontChanged();
                break;
            case FontEndTok:
                if (Stack->PropStackTop() > depth) {
                    PopFor("font");
                    flush();
                    FontChanged();
                }
                break;
            case ATok:
                flush();
                DoAnchor();
                break;
            case AEndTok:
                flush();
                EndAnchor();
                break;
            default:
                if (IsPrePhrase(tok)) {
                    flush();
                    DoPhrase(tok);
                }
                // Other tags inside PRE are dropped.
                break;
            }
            break;
        }
        default:
            line.AddChar(P.CurChar, P.SrcPos);
            if (line.Leng() > 200) flush();
            P.ReadNextChar();
            break;
        }
    }
    flush();
    if (paragraph) endParagraph();
    if (form)
        endForm();
    else
        FinishSection();
    P.InPre = false;
    while (Stack->PropStackTop() >= depth && Stack->PropStackTop() > 0)
        Stack->PopProps();
    CloseBlock(block);
    Next();
}

std::string ReadScript(HtmlTokenizer& p, bool keep) {
    std::string script;
    p.InScript = true;
    for (p.NextScriptToken(); p.CurTok != EofTok && p.CurTok != ScriptEndTok; p.NextScriptToken()) {
        if (!keep || script.size() > kMaxScript) continue;
        script += p.CurTok == EolTok ? std::string("\r\n") : p.Token.S;
    }
    p.InScript = false;
    return script;
}

void RunScript(HtmlTokenizer& p, const TScriptType& hook, void* sender) {
    const std::string name = p.Attributes.Text(NameTok);
    const std::string language = p.Attributes.Text(LanguageTok);
    std::string script = ReadScript(p, static_cast<bool>(hook));
    if (hook) hook(sender, name, language, std::move(script));
}

void THtmlBuilder::ParseMap() {
    auto map = std::make_unique<TMapItem>();
    if (const TAttribute* name = P.Attributes.Find(NameTok)) map->MapName = UpperCase(name->Name);
    Next();
    int foreign = 0;
    while (Cur() != MapEndTok && Cur() != EofTok) {
        if (Cur() == AreaTok) {
            map->AddArea(P.Attributes);
        } else if (Cur() != TextTok && ++foreign >= 3) {
            break; // not a map after all: dropped
        }
        Next();
    }
    if (Cur() == MapEndTok) RootList.MapList.Add(std::move(map));
}

void THtmlBuilder::SkipSelect() {
    Next();
    while (Cur() != SelectEndTok && Cur() != EofTok)
        Next();
}

void THtmlBuilder::SkipTextArea() {
    P.ReadTextArea();
    if (!P.InPre) Next();
}

} // namespace lumo
