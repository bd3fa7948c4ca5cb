// Lists, list items, forms, CENTER and DIV.
#include "builder/document_builder_state.h"

#include "layout/list_item_block.h"
#include "layout/section_list.h"
#include "layout/text_section.h"

namespace lumo {

namespace {

bool IsListStart(TokenKind t) {
    return t == OLTok || t == ULTok || t == DirTok || t == MenuTok || t == DLTok;
}

bool IsListEnd(TokenKind t) {
    return t == OLEndTok || t == ULEndTok || t == DirEndTok || t == MenuEndTok || t == DLEndTok ||
           t == BlockQuoteEndTok;
}

bool IsListContent(TokenKind t) {
    return (ParagraphContent()[t] && t != CommandTok) || t == HeadingTok || t == HRTok ||
           t == PreTok || t == TableTok;
}

} // namespace

void THtmlBuilder::ParseList(TokenKind listTok, const TokSet& stop) {
    if (DeepEnough()) {
        Next(); // passed over as text
        return;
    }
    TDepthGuard guard(*this);
    const TokenKind endTok = EndTokOf(listTok);
    const std::string_view tag = TagNameOfTok(listTok);
    int number = 1;
    TListStyle list{listTok};
    if (listTok == OLTok) {
        if (const TAttribute* start = P.Attributes.Find(StartTok); start && start->Value >= 0)
            number = start->Value;
        if (const TAttribute* type = P.Attributes.Find(TypeTok); type && !type->Name.empty())
            list.Type = type->Name[0];
    } else if (listTok == ULTok) {
        list.Plain = P.Attributes.Find(PlainTok) != nullptr;
    }
    TBlock* block = BeginElementBlock(tag);
    Next();
    if (IsListEnd(Cur())) {
        EndElementBlock(block, tag);
        if (Cur() == endTok) Next();
        return;
    }
    while (Cur() != endTok && Cur() != EofTok) {
        const TokenKind tok = Cur();
        if (tok == LITok || tok == DDTok || tok == DTTok) {
            ParseListItem(list, tok, number, stop);
            if (number < 0x7FFFFFFF) ++number;
        } else if (IsListStart(tok)) {
            ParseList(tok, stop);
        } else if (tok == AddressTok || tok == BlockQuoteTok) {
            FinishSection();
            ParseList(tok, stop);
        } else if (tok == PTok && !stop[PTok]) {
            ParseParagraph(stop);
        } else if ((tok == CenterTok || tok == FormTok || tok == DivTok) && !stop[tok]) {
            ParseBody(stop | ListBlockExtraTerminators());
        } else if (IsListContent(tok)) {
            ParseBlockContent();
        } else if (stop[tok]) {
            break; // the enclosing construct goes on from here
        } else {
            Next();
        }
    }
    EndElementBlock(block, tag, TBottomMargin::CheckLast);
    // Only the list's own end is taken: a terminator of the construct around
    // it is left for that construct.
    if (Cur() == endTok) Next();
}

void THtmlBuilder::ParseListItem(const TListStyle& list, TokenKind itemTok, int number,
                                 const TokSet& stop) {
    if (DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    const std::string_view tag = TagNameOfTok(itemTok);
    TListItemBlock* block = BeginElementBlock<TListItemBlock>(tag, TTagAlign::No, list, number);
    OpenSection();
    P.SkipWhiteSpace();
    Next();
    const bool realList = list.ListTok != OrphanItemTok && list.ListTok != AddressTok;
    for (;;) {
        const TokenKind tok = Cur();
        if (ListItemContent()[tok]) {
            ParseBlockContent();
        } else if (tok == PTok && realList) {
            ParseParagraph(TokSet());
        } else if (IsListStart(tok)) {
            ParseList(tok, stop);
            block->Content.CheckLastBottomMargin();
        } else if (tok == AddressTok || tok == BlockQuoteTok || tok == CenterTok ||
                   tok == FormTok || tok == DivTok) {
            ParseBody(stop | ListItemExtraTerminators());
            if (Cur() == tok) break; // passed over as too deep: the item ends
        } else if (tok == CommandTok) {
            Next();
        } else {
            break;
        }
    }
    EndElementBlock(block, tag, TBottomMargin::CheckLast);
}

void THtmlBuilder::ParseForm(const TokSet& stop) {
    if (DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    do {
        TBlock* block = BeginElementBlock("form");
        ActiveForm = RootList.Forms.Add(std::make_unique<THtmlForm>(RootList, &P.Attributes));
        Next();
        ParseBody(stop | Toks({FormTok, FormEndTok}));
        ActiveForm = nullptr;
        EndElementBlock(block, "form", TBottomMargin::CheckLast);
        if (Cur() == FormEndTok) Next();
    } while (Cur() == FormTok);
}

void THtmlBuilder::ParseCenter(const TokSet& stop) {
    if (DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    FinishSection();
    Push("center");
    OpenSection();
    Next();
    ParseBody(stop | Toks({CenterEndTok}));
    FinishSection();
    PopFor("center");
    OpenSection();
    if (Cur() == CenterEndTok) Next();
}

void THtmlBuilder::ParseDiv(const TokSet& stop) {
    if (DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    const DisplayType display = ShownAs(DivTok);
    if (display == dsInline) {
        ParseInlineDiv(stop);
        return;
    }
    TBlock* block =
        display == dsListItem ? BeginStyledItem() : BeginElementBlock("div", TTagAlign::Yes);
    OpenSection();
    Next();
    ParseBody(stop | Toks({DivEndTok}));
    EndElementBlock(block, "div", TBottomMargin::CheckLast);
    OpenSection();
    if (Cur() == DivEndTok) Next();
}

} // namespace lumo
