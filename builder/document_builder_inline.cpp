// Inline elements, paragraphs, headings, line breaks and rules.
#include "builder/document_builder_state.h"

#include "html/parse_color.h"
#include "layout/inline_image.h"
#include "layout/rule_block.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

bool IsPhraseStart(TokenKind t) {
    switch (t) {
    case BTok:
    case ITok:
    case EmTok:
    case StrongTok:
    case UTok:
    case CiteTok:
    case VarTok:
    case TTTok:
    case CodeTok:
    case KbdTok:
    case SampTok:
    case STok:
    case StrikeTok:
    case SpanTok:
    case DfnTok:
    case QTok:
    case InsTok:
    case DelTok:
    case AbbrTok:
    case AcronymTok: return true;
    default: return false;
    }
}

bool IsPhraseEnd(TokenKind t) {
    switch (t) {
    case BEndTok:
    case IEndTok:
    case EmEndTok:
    case StrongEndTok:
    case UEndTok:
    case CiteEndTok:
    case VarEndTok:
    case TTEndTok:
    case CodeEndTok:
    case KbdEndTok:
    case SampEndTok:
    case SEndTok:
    case StrikeEndTok:
    case SpanEndTok:
    case DfnEndTok:
    case QEndTok:
    case InsEndTok:
    case DelEndTok:
    case AbbrEndTok:
    case AcronymEndTok: return true;
    default: return false;
    }
}

bool IsPrePhrase(TokenKind t) {
    switch (t) {
    case TTTok:
    case TTEndTok:
    case CodeTok:
    case CodeEndTok:
    case KbdTok:
    case KbdEndTok:
    case SampTok:
    case SampEndTok: return false;
    default: return IsPhraseStart(t) || IsPhraseEnd(t);
    }
}

void THtmlBuilder::DoPhrase(TokenKind tok) {
    if (const std::string_view tag = TagNameOfTok(tok); !tag.empty())
        StartPhrase(tag);
    else
        EndInlineElement(TagNameOfEndTok(tok));
}

void THtmlBuilder::StartPhrase(std::string_view tag) {
    TProperties& entry = Push(tag);
    entry.TakeBackgroundColor();
    if (!OpenShownBlock(entry)) OpenInlineBox(entry);
    FontChanged();
}

void THtmlBuilder::EndInlineElement(std::string_view tag) {
    PopFor(tag);
    CloseInlineBoxes();
    if (!ShownBlocks.empty()) CloseShownBlocks();
    FontChanged();
}

void THtmlBuilder::OpenInlineBox(const TProperties& entry) {
    if (&entry == &Scratch) return; // a refused push has no end to close it
    TBoxValues values{};
    int autos = 0;
    ResolveBoxValues(entry, 0, 0, entry.EmSize, entry.ExSize, values, autos);
    TOpenBox open;
    open.Entry = &entry;
    bool any = false;
    for (int side = 0; side < 4; ++side) {
        open.Box.Border[side] = std::max(0, values[Prop::BorderTopWidth + side]);
        open.Box.Padding[side] = std::max(0, values[Prop::PaddingTop + side]);
        any = any || open.Box.Border[side] > 0 || open.Box.Padding[side] > 0;
    }
    // Negative or auto margins take no room: an inline element never overlaps its neighbours.
    open.Box.MarginLeft = std::max(0, values[Prop::MarginLeft]);
    open.Box.MarginRight = std::max(0, values[Prop::MarginRight]);
    any = any || open.Box.MarginLeft > 0 || open.Box.MarginRight > 0;
    if (!any) return;
    open.Box.Lines = TBoxBorder::OfInline(entry);
    open.Box.Background = entry.InlineBackground;
    if (ActiveSection) {
        open.Box.Start = static_cast<int>(ActiveSection->Text.size());
        open.InSection = true;
    }
    OpenBoxes.push_back(open);
}

bool THtmlBuilder::OnStack(const TProperties* entry) const {
    for (int i = Stack->PropStackTop(); i >= 1; --i)
        if ((*Stack)[i].get() == entry) return true;
    return false;
}

void THtmlBuilder::CloseInlineBoxes() {
    std::erase_if(OpenBoxes, [this](TOpenBox& open) {
        if (OnStack(open.Entry)) return false;
        if (open.InSection && ActiveSection) {
            open.Box.End = static_cast<int>(ActiveSection->Text.size());
            if (open.Box.End > open.Box.Start) ActiveSection->InlineBoxes.push_back(open.Box);
        }
        return true;
    });
}

void THtmlBuilder::EndInlineBoxParts() {
    enum { Right = 1, Left = 3 };
    for (TOpenBox& open : OpenBoxes) {
        if (!open.InSection || !ActiveSection) continue;
        TInlineBox part = open.Box;
        part.End = static_cast<int>(ActiveSection->Text.size());
        part.Border[Right] = part.Padding[Right] = 0; // the element goes on
        if (part.End > part.Start) {
            ActiveSection->InlineBoxes.push_back(part);
            open.Box.Border[Left] = open.Box.Padding[Left] = 0;
        }
        open.InSection = false;
    }
}

void THtmlBuilder::StartInlineBoxParts() {
    // Entries popped while no section was open take their boxes along.
    std::erase_if(OpenBoxes, [this](const TOpenBox& open) { return !OnStack(open.Entry); });
    for (TOpenBox& open : OpenBoxes) {
        open.Box.Start = 0;
        open.InSection = true;
    }
}

void THtmlBuilder::ParseBlockContent() {
    const TokenKind tok = Cur();
    switch (tok) {
    // Constructs that read on past their own tags.
    case BRTok: ParseBreak(TokSet()); break;
    case HeadingTok: ParseHeading(); break;
    case HRTok: DoHorizontalRule(); break;
    case PreTok: ParsePre(); break;
    case TableTok: ParseTable(); break;
    case TextAreaTok: ReadTextArea(); break;
    case MapTok:
        ParseMap();
        if (Cur() == MapEndTok) Next();
        break;
    default:
        DoRunningText(tok);
        Next();
        break;
    }
}

void THtmlBuilder::DoRunningText(TokenKind tok) {
    switch (tok) {
    case SubTok:
    case SupTok:
    case BigTok:
    case SmallTok:
        EnsureSection();
        if (tok == SubTok || tok == SupTok) ScriptShift = tok == SubTok ? 1 : 2;
        DoPhrase(tok);
        break;
    case SubEndTok:
    case SupEndTok:
        ScriptShift = 0;
        DoPhrase(tok);
        break;
    case BigEndTok:
    case SmallEndTok: DoPhrase(tok); break;
    case TextTok: AddText(); break;
    case FontTok:
    case BaseFontTok:
        ReadFontAttributes(tok, NormalFontSizes);
        FontChanged();
        break;
    case FontEndTok: EndInlineElement("font"); break;
    case ATok: DoAnchor(); break;
    case AEndTok: EndAnchor(); break;
    case SelectTok: ReadSelect(); break;
    case InputTok: AddFormControl(InputTok); break;
    case PageTok: AddPageBreak(); break;
    case ScriptTok: RunScript(P, RootList.OnScript, RootList.Viewer); break;
    case NoBrTok:
    case NoBrEndTok: P.NoBreak = tok == NoBrTok; break;
    case WbrTok: AddWordBreak(); break;
    case ImageTok: AddImage(); break;
    case PanelTok: AddPanel(); break;
    default:
        if (IsPhraseStart(tok) || IsPhraseEnd(tok)) DoPhrase(tok);
        break;
    }
}

void THtmlBuilder::AddText() {
    EnsureSection();
    ActiveSection->NoBreak = P.NoBreak;
    if (FirstLetter) AddFirstLetter();
    ActiveSection->AppendToken(P.Token);
}

void THtmlBuilder::AddImage() {
    TBlock* ownBlock = OpenPictureBlock();
    EnsureSection();
    TInlineImage& image = ActiveSection->AppendImage(P.Attributes, P.TagIndex);
    image.ApplyStyle(Push("img"));
    PopFor("img");
    if (ownBlock) {
        image.FillBlock();
        // A picture sized as a share of its block cannot size the block.
        ownBlock->FitsContent = !image.WidthIsPercent;
        ClosePictureBlock();
    }
    if (const TAttribute* id = P.Attributes.Find(IDTok); id && !id->Name.empty()) {
        RootList.IDs.AddObject(id->Name, &image);
        image.IDName = id->Name;
    }
}

void THtmlBuilder::AddPanel() {
    EnsureSection();
    RootList.AddPanel(ActiveSection->AppendPanel(P.Attributes, P.TagIndex));
}

void THtmlBuilder::AddWordBreak() {
    // Only inside NOBR does a WBR make a place to break.
    if (!ActiveSection || !P.NoBreak) return;
    TPositionedText space;
    space.AddChar(' ', P.TagIndex);
    ActiveSection->NoBreak = true;
    ActiveSection->AppendToken(space);
}

void THtmlBuilder::DoAnchor() {
    // A new link ends the open one before it takes its own entries, so the
    // two never share a look.
    if (InsideLink && P.Attributes.Find(HrefTok)) EndAnchor();
    TProperties& entry = Push("a");
    entry.TakeBackgroundColor();
    if (!OpenShownBlock(entry)) OpenInlineBox(entry);
    for (const auto& a : P.Attributes) {
        if (a->Which == HrefTok) {
            if (InsideLink) continue; // a second HREF on one tag
            InsideLink = true;
            ActiveLink.Assign(a->Name, P.Attributes.Text(TargetTok));
            const std::string cls = P.Attributes.GetClass(), id = P.Attributes.GetID();
            for (std::string_view pseudo : {"link", "hover", "visited"})
                PushEntry("a", cls, id, pseudo, P.Attributes.GetStyle());
            FontChanged();
        } else if (a->Which == NameTok) {
            EnsureSection();
            FontChanged();
            std::string name = UpperCase(a->Name);
            if (!name.empty() && name[0] == '#') name.erase(0, 1);
            ActiveSection->AddAnchorName(name);
        }
    }
}

void THtmlBuilder::EndAnchor() {
    if (InsideLink) {
        ActiveLink.Clear();
        InsideLink = false;
        for (int i = 0; i < 3; ++i)
            PopFor("a");
    }
    EndInlineElement("a");
}

void THtmlBuilder::ReadFontAttributes(TokenKind tok, const int* sizeTable) {
    int size = 0;
    TColor color = clNone;
    std::string face;
    bool haveSize = false, haveColor = false;
    for (const auto& a : P.Attributes) {
        if (a->Which == SizeTok) {
            int n = a->Value;
            if (a->Name.size() >= 2 && (a->Name[0] == '+' || a->Name[0] == '-')) n += BaseFontLevel;
            size = std::clamp(n, 1, 7);
            if (tok == BaseFontTok) BaseFontLevel = size;
            haveSize = true;
        } else if (a->Which == ColorTok) {
            haveColor = ParseColor(a->Name, TPound::Optional, color);
        } else if (a->Which == FaceTok && tok == FontTok && !a->Name.empty()) {
            face = a->Name.substr(0, 50);
        }
    }
    // The attributes give way to the element's rules and STYLE, as every
    // presentation attribute does.
    TProperties& entry = Push("font");
    if (haveColor) entry.Assign(static_cast<int>(color | PaletteRelative), Prop::Color);
    if (haveSize) entry.Assign(static_cast<double>(sizeTable[size - 1]), Prop::FontSize);
    entry.SizeEm();
    if (!face.empty()) entry.Assign(face, Prop::FontFamily);
    if (tok == FontTok && !OpenShownBlock(entry)) OpenInlineBox(entry);
}

void THtmlBuilder::ParseParagraph(const TokSet& stop) {
    if (stop[PTok]) return;
    if (DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    FinishSection();
    P.SkipWhiteSpace();
    // The last of a run of P tags gives the paragraph its look.
    TAttributeList noted = std::move(P.Attributes);
    P.Attributes = TAttributeList();
    Next();
    while (Cur() == PTok || Cur() == PEndTok) {
        if (Cur() == PTok) {
            noted = std::move(P.Attributes);
            P.Attributes = TAttributeList();
        }
        P.SkipWhiteSpace();
        Next();
    }
    TAttributeList current = std::move(P.Attributes);
    P.Attributes = std::move(noted);
    TBlock* block = BeginElementBlock("p", TTagAlign::Yes);
    P.Attributes = std::move(current);
    for (;;) {
        const TokenKind tok = Cur();
        if (stop[tok] || !ParagraphContent()[tok]) break;
        if (tok == CommandTok)
            Next();
        else
            ParseBlockContent();
    }
    EndElementBlock(block, "p");
    if (Cur() == PEndTok) Next();
}

void THtmlBuilder::ParseBreak(const TokSet& stop) {
    if (stop[BRTok]) return;
    const bool clear = P.Attributes.Find(ClearTok) != nullptr;
    if ((ActiveSection && !clear) || DeepEnough()) {
        EnsureSection();
        TPositionedText brk;
        brk.AddChar(8, P.TagIndex);
        ActiveSection->AppendToken(brk);
        Next();
        return;
    }
    TDepthGuard guard(*this);
    TBlock* block = BeginElementBlock("br");
    OpenSection(&P.Attributes);
    P.SkipWhiteSpace();
    Next();
    for (;;) {
        const TokenKind tok = Cur();
        if (!LineBreakContent()[tok]) break;
        if (tok == CommandTok)
            Next();
        else
            ParseBlockContent();
    }
    EndElementBlock(block, "br");
}

void THtmlBuilder::ParseHeading() {
    const int level = P.HeadingLevel;
    if (level < 1 || level > 6 || DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    std::string tag(1, 'h');
    tag += static_cast<char>('0' + level);
    TBlock* block = BeginElementBlock(tag, TTagAlign::Yes);
    OpenSection();
    Next();
    for (;;) {
        const TokenKind tok = Cur();
        if (tok == PTok)
            ParseParagraph(TokSet());
        else if (tok == CommandTok)
            Next();
        else if (HeadingContent()[tok])
            ParseBlockContent();
        else
            break;
    }
    EndElementBlock(block, tag);
    if (Cur() == HeadingEndTok) Next();
}

void THtmlBuilder::DoHorizontalRule() {
    TRuleBlock* block = BeginElementBlock<TRuleBlock>("hr", TTagAlign::No, P.Attributes);
    auto line = std::make_unique<THorizontalRule>(RootList, P.Attributes, Stack->TopProps());
    block->Line = line.get();
    block->Content.AddItem(std::move(line));
    EndElementBlock(block, "hr");
    Next();
}

} // namespace lumo
