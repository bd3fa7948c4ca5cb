// How style sheets show elements. Those not displayed ("display: none") are
// passed over in the token stream, so nothing of them (text, pictures,
// controls, names) is built. Inline elements shown as blocks get a block,
// and DIVs may be shown inline or as list items.
#include "builder/document_builder_state.h"

#include "html/style_list.h"
#include "layout/block.h"
#include "layout/form_control.h"
#include "layout/list_item_block.h"
#include "layout/section_list.h"

namespace lumo {

namespace {

// Elements that end at the next item of their list, or at the list's end.
bool IsItem(TokenKind tok) {
    return tok == LITok || tok == DDTok || tok == DTTok;
}

// The constructs that hold list items: the lists, and BLOCKQUOTE.
bool StartsItemList(TokenKind tok) {
    return tok == OLTok || tok == ULTok || tok == DirTok || tok == MenuTok || tok == DLTok ||
           tok == BlockQuoteTok;
}

bool EndsItemList(TokenKind tok) {
    return tok == OLEndTok || tok == ULEndTok || tok == DirEndTok || tok == MenuEndTok ||
           tok == DLEndTok || tok == BlockQuoteEndTok;
}

// The body elements a style sheet may take out. Table rows and cells stay,
// so that every table keeps its shape, and so do elements that are never
// shown themselves but act on others (BASEFONT, MAP).
bool MayBeHidden(TokenKind tok) {
    if (tok == PTok || tok == DivTok || tok == CenterTok || tok == HeadingTok || tok == HRTok ||
        tok == PreTok || tok == TableTok || tok == FormTok || tok == AddressTok ||
        StartsItemList(tok) || IsItem(tok))
        return true;
    return ParagraphContent()[tok] && tok != TextTok && tok != CommandTok && tok != ScriptTok &&
           tok != BaseFontTok && tok != MapTok && !TagNameOfTok(tok).empty();
}

// A paragraph or phrase ends, unclosed, at the first token it cannot hold;
// a form control holds its options or text up to its own end.
bool EndsAtBlocks(TokenKind tok) {
    return (tok == PTok || ParagraphContent()[tok]) && tok != SelectTok && tok != TextAreaTok;
}

} // namespace

void THtmlBuilder::PassUndisplayed() {
    while (MayBeHidden(Cur()) && ShownAs(Cur()) == dsNone)
        PassElement(Cur());
}

DisplayType THtmlBuilder::ShownAs(TokenKind tok) {
    const TProperties* style = P.Attributes.GetStyle();
    if (!RootList.StyleSheet.SetsDisplay && !(style && style->GetDisplay() != dsNormal))
        return dsNormal;
    if (Stack->PropStackTop() >= MaxStackDepth) return dsNormal;
    std::string tag(TagNameOfTok(tok));
    if (tok == HeadingTok) {
        if (P.HeadingLevel < 1 || P.HeadingLevel > 6) return dsNormal;
        tag += static_cast<char>('0' + P.HeadingLevel);
    }
    const TProperties& entry =
        Stack->PushProps(tag, P.Attributes.GetClass(), P.Attributes.GetID(), "", style);
    const DisplayType display = entry.GetDisplay();
    Stack->PopProps();
    return display;
}

// Passes the element whose start is the current token, up to and with its
// end tag; elements of its kind may nest inside it. What ends it unclosed
// (a block after a paragraph, the next item of a list) is left for the
// construct around it.
void THtmlBuilder::PassElement(TokenKind tok) {
    ReadToken();
    int formsOpen = tok == FormTok ? 1 : 0;
    if (IsItem(tok)) {
        for (int lists = 0; Cur() != EofTok; ReadToken()) {
            KeepHiddenField(formsOpen);
            if (StartsItemList(Cur()))
                ++lists;
            else if (lists > 0 && EndsItemList(Cur()))
                --lists;
            else if (lists == 0 && (IsItem(Cur()) || EndsItemList(Cur())))
                return;
        }
        return;
    }
    const TokenKind end = EndTokOf(tok);
    if (end == NoneTok) return;
    for (int depth = 0; Cur() != EofTok; ReadToken()) {
        KeepHiddenField(formsOpen);
        if (Cur() == tok) {
            ++depth;
        } else if (Cur() == end) {
            if (depth-- == 0) {
                ReadToken();
                return;
            }
        } else if (EndsAtBlocks(tok) && !ParagraphContent()[Cur()]) {
            return;
        }
    }
}

// A hidden field of the form being built is sent with it, shown or not;
// one of a form that is passed over whole goes with that form.
void THtmlBuilder::KeepHiddenField(int& formsOpen) {
    if (Cur() == FormTok) ++formsOpen;
    if (Cur() == FormEndTok && formsOpen > 0) --formsOpen;
    if (Cur() == InputTok && formsOpen == 0 &&
        InputKind(P.Attributes.Text(TypeTok)) == TControlKind::Hidden)
        AddFormControl(InputTok);
}

TBlock* THtmlBuilder::OpenShownBlock(const TProperties& entry) {
    const DisplayType display = entry.GetDisplay();
    if (&entry == &Scratch || (display != dsBlock && display != dsListItem) || DeepEnough())
        return nullptr;
    FinishSection();
    TCellBasic* container = ActiveCell;
    TBlock* block = OpenBlock<TBlock>();
    ShownBlocks.push_back({&entry, &block->Content, container});
    OpenSection();
    return block;
}

void THtmlBuilder::CloseShownBlocks() {
    bool closed = false;
    for (size_t i = ShownBlocks.size(); i-- > 0;) {
        const TShownBlock shown = ShownBlocks[i];
        if (OnStack(shown.Entry)) continue;
        if (ActiveCell == shown.Content) {
            if (!closed) FinishSection();
            ActiveCell = shown.Container;
            closed = true;
        }
        ShownBlocks.erase(ShownBlocks.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (closed) OpenSection();
}

void THtmlBuilder::DropShownBlocksFrom(size_t from) noexcept {
    // The construct has finished its section; what follows it goes on
    // beside the blocks, not in them.
    while (ShownBlocks.size() > from) {
        if (ActiveCell == ShownBlocks.back().Content) ActiveCell = ShownBlocks.back().Container;
        ShownBlocks.pop_back();
    }
}

TBlock* THtmlBuilder::OpenPictureBlock() {
    if (ShownAs(ImageTok) != dsBlock) return nullptr;
    const TProperties& entry = Push("img");
    AlignmentType side = ANone;
    const bool floats = entry.GetFloat(side) && (side == ALeft || side == ARight);
    TBlock* block = floats ? nullptr : OpenShownBlock(entry);
    PopFor("img");
    return block;
}

void THtmlBuilder::ClosePictureBlock() {
    FinishSection();
    ActiveCell = ShownBlocks.back().Container;
    ShownBlocks.pop_back();
    OpenSection();
}

void THtmlBuilder::ParseInlineDiv(const TokSet& stop) {
    StartPhrase("div");
    Next();
    ParseBody(stop | Toks({DivEndTok}));
    EndInlineElement("div");
    if (Cur() == DivEndTok) Next();
}

TBlock* THtmlBuilder::BeginStyledItem() {
    FinishSection();
    StyledItemNumber = StyledItemCell == ActiveCell ? StyledItemNumber + 1 : 1;
    StyledItemCell = ActiveCell;
    return BeginElementBlock<TListItemBlock>("div", TTagAlign::Yes, TListStyle{DivTok},
                                             StyledItemNumber);
}

} // namespace lumo
