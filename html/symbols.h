// The symbols of the HTML reader: every tag (start and, for most, end form),
// every known attribute, and the special tokens. Tags and attributes share
// one enumeration; LINK, STYLE, WRAP and SELECTED are both, and the TEXT
// attribute is TextTok.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumo {

// Every symbol, in enumeration order: the special tokens, the tags with an
// end form, the tags without one, then the attributes that are not also tags.
// clang-format off
#define LUMO_TOKEN_KINDS(X) \
    X(NoneTok) X(TextTok) X(EofTok) X(CommandTok) X(StrayCharTok) X(UnknownAttrTok) \
    X(EolTok) X(OrphanItemTok) X(HtmlTok) X(HtmlEndTok) X(TitleTok) X(TitleEndTok) \
    X(BodyTok) X(BodyEndTok) X(HeadTok) X(HeadEndTok) X(BTok) X(BEndTok) X(ITok) X(IEndTok) \
    X(HeadingTok) X(HeadingEndTok) X(EmTok) X(EmEndTok) X(StrongTok) X(StrongEndTok) X(UTok) \
    X(UEndTok) X(CiteTok) X(CiteEndTok) X(VarTok) X(VarEndTok) X(TTTok) X(TTEndTok) \
    X(CodeTok) X(CodeEndTok) X(KbdTok) X(KbdEndTok) X(SampTok) X(SampEndTok) X(OLTok) \
    X(OLEndTok) X(ULTok) X(ULEndTok) X(DirTok) X(DirEndTok) X(MenuTok) X(MenuEndTok) \
    X(DLTok) X(DLEndTok) X(ATok) X(AEndTok) X(AddressTok) X(AddressEndTok) X(BlockQuoteTok) \
    X(BlockQuoteEndTok) X(PreTok) X(PreEndTok) X(CenterTok) X(CenterEndTok) X(TableTok) \
    X(TableEndTok) X(TDTok) X(TDEndTok) X(THTok) X(THEndTok) X(CaptionTok) X(CaptionEndTok) \
    X(FormTok) X(FormEndTok) X(TextAreaTok) X(TextAreaEndTok) X(SelectTok) X(SelectEndTok) \
    X(OptionTok) X(OptionEndTok) X(FontTok) X(FontEndTok) X(SubTok) X(SubEndTok) X(SupTok) \
    X(SupEndTok) X(BigTok) X(BigEndTok) X(SmallTok) X(SmallEndTok) X(PTok) X(PEndTok) \
    X(MapTok) X(MapEndTok) X(FrameSetTok) X(FrameSetEndTok) X(NoFramesTok) X(NoFramesEndTok) \
    X(ScriptTok) X(ScriptEndTok) X(DivTok) X(DivEndTok) X(STok) X(SEndTok) X(StrikeTok) \
    X(StrikeEndTok) X(TRTok) X(TREndTok) X(NoBrTok) X(NoBrEndTok) X(StyleTok) X(StyleEndTok) \
    X(SpanTok) X(SpanEndTok) X(DfnTok) X(DfnEndTok) X(QTok) X(QEndTok) X(InsTok) \
    X(InsEndTok) X(DelTok) X(DelEndTok) X(AbbrTok) X(AbbrEndTok) X(AcronymTok) X(AcronymEndTok) \
    X(LITok) X(BRTok) X(HRTok) X(DDTok) X(DTTok) X(ImageTok) \
    X(BaseTok) X(ButtonTok) X(InputTok) X(SelectedTok) X(BaseFontTok) X(AreaTok) X(FrameTok) \
    X(PageTok) X(BgSoundTok) X(WrapTok) X(MetaTok) X(PanelTok) X(WbrTok) X(LinkTok) \
    X(HrefTok) X(NameTok) X(SrcTok) X(AltTok) X(AlignTok) X(BGColorTok) X(BackgroundTok) \
    X(ColSpanTok) X(RowSpanTok) X(BorderTok) X(CellPaddingTok) X(CellSpacingTok) \
    X(VAlignTok) X(WidthTok) X(StartTok) X(ValueTok) X(TypeTok) X(CheckBoxTok) X(RadioTok) \
    X(MethodTok) X(ActionTok) X(CheckedTok) X(SizeTok) X(MaxLengthTok) X(ColsTok) X(RowsTok) \
    X(MultipleTok) X(FaceTok) X(ColorTok) X(TranspTok) X(ClearTok) X(IsMapTok) \
    X(BorderColorTok) X(UseMapTok) X(ShapeTok) X(CoordsTok) X(NoHrefTok) X(HeightTok) \
    X(PlainTok) X(TargetTok) X(NoResizeTok) X(ScrollingTok) X(HSpaceTok) X(LanguageTok) \
    X(FrameBorderTok) X(MarginWidthTok) X(MarginHeightTok) X(LoopTok) X(OnClickTok) \
    X(NoShadeTok) X(HttpEqTok) X(ContentTok) X(EncTypeTok) X(VLinkTok) X(OLinkTok) \
    X(ActiveTok) X(VSpaceTok) X(ClassTok) X(IDTok) X(RelTok) X(RevTok) X(NoWrapTok) \
    X(DisabledTok) X(ReadOnlyTok) \
    X(BorderColorLightTok) X(BorderColorDarkTok)
// clang-format on

enum TokenKind : uint8_t {
#define LUMO_TOKEN_ENUM(name) name,
    LUMO_TOKEN_KINDS(LUMO_TOKEN_ENUM)
#undef LUMO_TOKEN_ENUM
        TokenKindCount
};

// The symbol of an upper-case tag name: the start symbol, or for an end tag
// the end symbol; CommandTok when the name is unknown or the tag has no end form.
TokenKind LookupTag(std::string_view upperName, bool endTag);

// The symbol of an upper-case attribute name, UnknownAttrTok when unknown.
TokenKind LookupAttribute(std::string_view upperName);

// The lower-case tag name of a start symbol, "" when it is none.
std::string_view TagNameOfTok(TokenKind tok);
// The lower-case tag name of an end symbol, "" when it is none.
std::string_view TagNameOfEndTok(TokenKind tok);
// The end symbol of a start symbol, NoneTok when it has none.
TokenKind EndTokOf(TokenKind tok);

// A readable name of any symbol ("TDTok"), for dumps and messages.
std::string_view SymbolName(TokenKind tok);

} // namespace lumo
