// Elements read with their own rules: PRE (character by character), SCRIPT,
// MAP, and the option lists and text of SELECT and TEXTAREA.
#include "builder/document_builder_state.h"

#include "builder/control_content.h"
#include "layout/image_map.h"
#include "layout/page_break.h"
#include "layout/preformatted_section.h"
#include "layout/section_list.h"
#include "platform/text.h"

namespace lumo {

namespace {

// Scripts handed to the host are cut here.
constexpr size_t MaxScript = 8u << 20;

} // namespace

namespace {

// PRE is read character by character, so its line ends and white space stay
// as they are; only a few tags count inside it, and the rest are dropped.
class TPreReader {
public:
    explicit TPreReader(THtmlBuilder& builder)
        : b_(builder), P(builder.P), depth_(builder.Stack->PropStackTop() + 1) {}

    void Read() {
        TBlock* block = b_.BeginElementBlock("pre");
        P.InPre = true;
        b_.OpenSection();
        while (ReadNext()) {
        }
        Finish(block);
    }

private:
    // Reads one character, entity or tag; false at the end of the PRE.
    bool ReadNext() {
        switch (P.CaseChar) {
        case '\r':
            NewLine();
            P.ReadNextChar();
            return true;
        case EofCh: return false;
        case '&':
            b_.Next();
            line_.AddString(P.Token);
            return true;
        case '<': b_.Next(); return ReadTag(b_.Cur());
        default:
            line_.AddChar(P.CurChar, P.SrcPos);
            if (line_.Leng() > 200) Flush();
            P.ReadNextChar();
            return true;
        }
    }

    // The tag just read; false when it ends the PRE.
    bool ReadTag(TokenKind tok) {
        // A map that ends at a foreign tag hands that tag on.
        while (tok == MapTok) {
            b_.ParseMap();
            if (b_.Cur() == MapEndTok) return true;
            tok = b_.Cur();
        }
        switch (tok) {
        case PreEndTok:
        case TDEndTok:
        case THEndTok:
        case EofTok: return false;
        case TextTok: AddText(); break;
        case BRTok:
            NewLine();
            SkipLineEnd();
            break;
        case PTok: StartParagraph(); break;
        case PEndTok:
            if (paragraph_) {
                EndParagraph();
                b_.OpenSection();
            }
            break;
        case FormTok: StartForm(); break;
        case FormEndTok:
            if (form_) {
                EndForm();
                b_.OpenSection();
            }
            break;
        case InputTok:
            Flush();
            b_.AddFormControl(InputTok);
            break;
        case SelectTok:
            Flush();
            b_.ReadSelect();
            break;
        case TextAreaTok:
            Flush();
            b_.ReadTextArea();
            break;
        case ImageTok:
            Flush();
            b_.AddImage();
            break;
        case PanelTok:
            Flush();
            b_.AddPanel();
            break;
        case ScriptTok: RunScript(P, b_.RootList.OnScript, b_.RootList.Viewer); break;
        case PageTok:
            Flush();
            b_.AddPageBreak();
            b_.OpenSection();
            break;
        default: ReadFontTag(tok); break;
        }
        return true;
    }

    // FONT, links and phrase elements: they change the look of what follows.
    void ReadFontTag(TokenKind tok) {
        switch (tok) {
        case FontTok:
        case BaseFontTok:
            Flush();
            b_.ReadFontAttributes(tok, PreFontSizes);
            b_.FontChanged();
            break;
        case FontEndTok:
            // Only a FONT opened inside the PRE ends here.
            if (b_.Stack->PropStackTop() > depth_) {
                b_.PopFor("font");
                Flush();
                b_.CloseInlineBoxes();
                b_.FontChanged();
            }
            break;
        case ATok:
            Flush();
            b_.DoAnchor();
            break;
        case AEndTok:
            Flush();
            b_.EndAnchor();
            break;
        default:
            if (IsPrePhrase(tok)) {
                Flush();
                b_.DoPhrase(tok);
            }
            break;
        }
    }

    // A "<" that opens no tag, or the text after a comment.
    void AddText() {
        for (size_t i = 0; i < P.Token.S.size(); ++i) {
            if (P.Token.S[i] == '\r')
                NewLine();
            else
                line_.AddChar(P.Token.S[i], P.Token.I[i]);
        }
    }

    void SkipLineEnd() {
        if (P.CaseChar == '\r') P.ReadNextChar();
    }

    // The characters gathered so far go into the open section.
    void Flush() {
        if (line_.Leng() == 0) return;
        b_.EnsureSection();
        b_.ActiveSection->AppendToken(line_);
        line_.Clear();
    }

    // Every line of a listing is a section of its own.
    void NewLine() {
        Flush();
        b_.OpenSection();
    }

    void StartParagraph() {
        if (paragraph_) {
            EndParagraph();
        } else {
            Flush();
            b_.FinishSection();
        }
        SkipLineEnd();
        if (!b_.DeepEnough()) paragraph_ = b_.BeginElementBlock("p");
        b_.OpenSection();
    }

    void EndParagraph() {
        Flush();
        if (b_.ActiveSection && b_.ActiveSection->Text.empty()) b_.DropSection();
        b_.EndElementBlock(paragraph_, "p");
        paragraph_ = nullptr;
    }

    // A form inside a paragraph of the listing adds no block.
    void StartForm() {
        if (form_) {
            EndForm();
        } else {
            Flush();
            b_.FinishSection();
        }
        if (!b_.DeepEnough() && !paragraph_) form_ = b_.BeginElementBlock("form");
        b_.ActiveForm =
            b_.RootList.Forms.Add(std::make_unique<THtmlForm>(b_.RootList, &P.Attributes));
        b_.OpenSection();
    }

    void EndForm() {
        Flush();
        b_.EndElementBlock(form_, "form");
        form_ = nullptr;
        b_.ActiveForm = nullptr;
    }

    // Ends what is still open, and the look of every element met inside.
    void Finish(TBlock* block) {
        Flush();
        if (paragraph_) EndParagraph();
        if (form_)
            EndForm();
        else
            b_.FinishSection();
        P.InPre = false;
        while (b_.Stack->PropStackTop() >= depth_ && b_.Stack->PropStackTop() > 0)
            b_.Stack->PopProps();
        b_.CloseBlock(block);
        // An unclosed PRE ends at its cell's end, which the cell reader takes.
        if (b_.Cur() != TDEndTok && b_.Cur() != THEndTok) b_.Next();
    }

    THtmlBuilder& b_;
    HtmlTokenizer& P;
    // Where PRE's entry goes: taken before the push, which a full stack refuses.
    const int depth_;
    TPositionedText line_; // the characters of the line not yet in a section
    TBlock* paragraph_ = nullptr;
    TBlock* form_ = nullptr;
};

} // namespace

void THtmlBuilder::ParsePre() {
    TPreReader(*this).Read();
}

void THtmlBuilder::AddPageBreak() {
    FinishSection();
    ActiveCell->AddItem(std::make_unique<TPageBreak>(RootList));
}

std::string ReadScript(HtmlTokenizer& p, TScriptText text) {
    const bool keep = text == TScriptText::Keep;
    std::string script;
    p.InScript = true;
    for (p.NextScriptToken(); p.CurTok != EofTok && p.CurTok != ScriptEndTok; p.NextScriptToken()) {
        if (!keep || script.size() > MaxScript) continue;
        script += p.CurTok == EolTok ? std::string("\r\n") : p.Token.S;
    }
    p.InScript = false;
    return script;
}

void RunScript(HtmlTokenizer& p, const TScriptType& hook, TViewerBase* sender) {
    const std::string name = p.Attributes.Text(NameTok);
    const std::string language = p.Attributes.Text(LanguageTok);
    std::string script = ReadScript(p, hook ? TScriptText::Keep : TScriptText::Skip);
    if (hook) hook(sender, name, language, std::move(script));
}

void THtmlBuilder::ParseMap() {
    auto map = std::make_unique<TImageMap>();
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

void THtmlBuilder::ReadSelect() {
    AddFormControl(SelectTok);
}

void THtmlBuilder::ReadTextArea() {
    AddFormControl(TextAreaTok);
    if (!P.InPre) Next();
}

} // namespace lumo
