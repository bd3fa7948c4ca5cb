#include "html/symbols.h"

#include "html/name_table.h"

#include <array>
#include <iterator>

namespace lumo {

namespace {

struct TagEntry {
    std::string_view Name;
    TokenKind Start;
    TokenKind End; // NoneTok for tags without an end form
};

// The first 57 entries have an end form, the last 20 none.
constexpr TagEntry TagTable[] = {
    {"HTML", HtmlTok, HtmlEndTok},
    {"TITLE", TitleTok, TitleEndTok},
    {"BODY", BodyTok, BodyEndTok},
    {"HEAD", HeadTok, HeadEndTok},
    {"B", BTok, BEndTok},
    {"I", ITok, IEndTok},
    {"H", HeadingTok, HeadingEndTok},
    {"EM", EmTok, EmEndTok},
    {"STRONG", StrongTok, StrongEndTok},
    {"U", UTok, UEndTok},
    {"CITE", CiteTok, CiteEndTok},
    {"VAR", VarTok, VarEndTok},
    {"TT", TTTok, TTEndTok},
    {"CODE", CodeTok, CodeEndTok},
    {"KBD", KbdTok, KbdEndTok},
    {"SAMP", SampTok, SampEndTok},
    {"OL", OLTok, OLEndTok},
    {"UL", ULTok, ULEndTok},
    {"DIR", DirTok, DirEndTok},
    {"MENU", MenuTok, MenuEndTok},
    {"DL", DLTok, DLEndTok},
    {"A", ATok, AEndTok},
    {"ADDRESS", AddressTok, AddressEndTok},
    {"BLOCKQUOTE", BlockQuoteTok, BlockQuoteEndTok},
    {"PRE", PreTok, PreEndTok},
    {"CENTER", CenterTok, CenterEndTok},
    {"TABLE", TableTok, TableEndTok},
    {"TD", TDTok, TDEndTok},
    {"TH", THTok, THEndTok},
    {"CAPTION", CaptionTok, CaptionEndTok},
    {"FORM", FormTok, FormEndTok},
    {"TEXTAREA", TextAreaTok, TextAreaEndTok},
    {"SELECT", SelectTok, SelectEndTok},
    {"OPTION", OptionTok, OptionEndTok},
    {"FONT", FontTok, FontEndTok},
    {"SUB", SubTok, SubEndTok},
    {"SUP", SupTok, SupEndTok},
    {"BIG", BigTok, BigEndTok},
    {"SMALL", SmallTok, SmallEndTok},
    {"P", PTok, PEndTok},
    {"MAP", MapTok, MapEndTok},
    {"FRAMESET", FrameSetTok, FrameSetEndTok},
    {"NOFRAMES", NoFramesTok, NoFramesEndTok},
    {"SCRIPT", ScriptTok, ScriptEndTok},
    {"DIV", DivTok, DivEndTok},
    {"S", STok, SEndTok},
    {"STRIKE", StrikeTok, StrikeEndTok},
    {"TR", TRTok, TREndTok},
    {"NOBR", NoBrTok, NoBrEndTok},
    {"STYLE", StyleTok, StyleEndTok},
    {"SPAN", SpanTok, SpanEndTok},
    {"DFN", DfnTok, DfnEndTok},
    {"Q", QTok, QEndTok},
    {"INS", InsTok, InsEndTok},
    {"DEL", DelTok, DelEndTok},
    {"ABBR", AbbrTok, AbbrEndTok},
    {"ACRONYM", AcronymTok, AcronymEndTok},
    {"LI", LITok, NoneTok},
    {"BR", BRTok, NoneTok},
    {"HR", HRTok, NoneTok},
    {"DD", DDTok, NoneTok},
    {"DT", DTTok, NoneTok},
    {"IMG", ImageTok, NoneTok},
    {"BASE", BaseTok, NoneTok},
    {"BUTTON", ButtonTok, NoneTok},
    {"INPUT", InputTok, NoneTok},
    {"SELECTED", SelectedTok, NoneTok},
    {"BASEFONT", BaseFontTok, NoneTok},
    {"AREA", AreaTok, NoneTok},
    {"FRAME", FrameTok, NoneTok},
    {"PAGE", PageTok, NoneTok},
    {"BGSOUND", BgSoundTok, NoneTok},
    {"WRAP", WrapTok, NoneTok},
    {"META", MetaTok, NoneTok},
    {"PANEL", PanelTok, NoneTok},
    {"WBR", WbrTok, NoneTok},
    {"LINK", LinkTok, NoneTok},
};
static_assert(std::size(TagTable) == 77);

// The tags by symbol, so the builder's per-token questions are look-ups.
struct TagIndex {
    static constexpr size_t MaxName = 10; // BLOCKQUOTE
    std::array<std::array<char, MaxName>, std::size(TagTable)> Lower{};
    std::array<int8_t, TokenKindCount> ByStart{}, ByEnd{};
};

constexpr TagIndex MakeTagIndex() {
    TagIndex index;
    index.ByStart.fill(-1);
    index.ByEnd.fill(-1);
    for (size_t i = 0; i < std::size(TagTable); ++i) {
        const TagEntry& tag = TagTable[i];
        for (size_t k = 0; k < tag.Name.size(); ++k)
            index.Lower[i].at(k) = static_cast<char>(tag.Name[k] - 'A' + 'a');
        index.ByStart[tag.Start] = static_cast<int8_t>(i);
        if (tag.End != NoneTok) index.ByEnd[tag.End] = static_cast<int8_t>(i);
    }
    return index;
}

constexpr TagIndex TagsByToken = MakeTagIndex();

std::string_view LowerTagName(int8_t i) {
    return i < 0 ? std::string_view()
                 : std::string_view(TagsByToken.Lower[i].data(), TagTable[i].Name.size());
}

struct AttrEntry {
    std::string_view Name;
    TokenKind Sym;
};

// In table order; the second "VALUE" is never reached.
constexpr AttrEntry AttributeTable[] = {
    {"HREF", HrefTok},
    {"NAME", NameTok},
    {"SRC", SrcTok},
    {"ALT", AltTok},
    {"ALIGN", AlignTok},
    {"TEXT", TextTok},
    {"BGCOLOR", BGColorTok},
    {"LINK", LinkTok},
    {"BACKGROUND", BackgroundTok},
    {"COLSPAN", ColSpanTok},
    {"ROWSPAN", RowSpanTok},
    {"BORDER", BorderTok},
    {"CELLPADDING", CellPaddingTok},
    {"CELLSPACING", CellSpacingTok},
    {"VALIGN", VAlignTok},
    {"WIDTH", WidthTok},
    {"START", StartTok},
    {"VALUE", ValueTok},
    {"TYPE", TypeTok},
    {"CHECKBOX", CheckBoxTok},
    {"RADIO", RadioTok},
    {"METHOD", MethodTok},
    {"ACTION", ActionTok},
    {"CHECKED", CheckedTok},
    {"SIZE", SizeTok},
    {"MAXLENGTH", MaxLengthTok},
    {"COLS", ColsTok},
    {"ROWS", RowsTok},
    {"MULTIPLE", MultipleTok},
    {"VALUE", ValueTok},
    {"SELECTED", SelectedTok},
    {"FACE", FaceTok},
    {"COLOR", ColorTok},
    {"TRANSP", TranspTok},
    {"CLEAR", ClearTok},
    {"ISMAP", IsMapTok},
    {"BORDERCOLOR", BorderColorTok},
    {"USEMAP", UseMapTok},
    {"SHAPE", ShapeTok},
    {"COORDS", CoordsTok},
    {"NOHREF", NoHrefTok},
    {"HEIGHT", HeightTok},
    {"PLAIN", PlainTok},
    {"TARGET", TargetTok},
    {"NORESIZE", NoResizeTok},
    {"SCROLLING", ScrollingTok},
    {"HSPACE", HSpaceTok},
    {"LANGUAGE", LanguageTok},
    {"FRAMEBORDER", FrameBorderTok},
    {"MARGINWIDTH", MarginWidthTok},
    {"MARGINHEIGHT", MarginHeightTok},
    {"LOOP", LoopTok},
    {"ONCLICK", OnClickTok},
    {"WRAP", WrapTok},
    {"NOSHADE", NoShadeTok},
    {"HTTP-EQUIV", HttpEqTok},
    {"CONTENT", ContentTok},
    {"ENCTYPE", EncTypeTok},
    {"VLINK", VLinkTok},
    {"OLINK", OLinkTok},
    {"ACTIVE", ActiveTok},
    {"VSPACE", VSpaceTok},
    {"CLASS", ClassTok},
    {"ID", IDTok},
    {"STYLE", StyleTok},
    {"REL", RelTok},
    {"REV", RevTok},
    {"NOWRAP", NoWrapTok},
    {"DISABLED", DisabledTok},
    {"READONLY", ReadOnlyTok},
    // The two sides of a table's or cell's 3-D frame.
    {"BORDERCOLORLIGHT", BorderColorLightTok},
    {"BORDERCOLORDARK", BorderColorDarkTok},
};
static_assert(std::size(AttributeTable) == 72);

constexpr std::string_view SymbolNames[] = {
#define LUMO_TOKEN_NAME(name) #name,
    LUMO_TOKEN_KINDS(LUMO_TOKEN_NAME)
#undef LUMO_TOKEN_NAME
};

} // namespace

TokenKind LookupTag(std::string_view upperName, bool endTag) {
    const TagEntry* tag = FindByName(TagTable, upperName);
    if (!tag) return CommandTok;
    if (!endTag) return tag->Start;
    return tag->End != NoneTok ? tag->End : CommandTok;
}

TokenKind LookupAttribute(std::string_view upperName) {
    const AttrEntry* attr = FindByName(AttributeTable, upperName);
    return attr ? attr->Sym : UnknownAttrTok;
}

std::string_view TagNameOfTok(TokenKind tok) {
    return tok < TokenKindCount ? LowerTagName(TagsByToken.ByStart[tok]) : std::string_view();
}

std::string_view TagNameOfEndTok(TokenKind tok) {
    return tok < TokenKindCount ? LowerTagName(TagsByToken.ByEnd[tok]) : std::string_view();
}

TokenKind EndTokOf(TokenKind tok) {
    const int8_t i = tok < TokenKindCount ? TagsByToken.ByStart[tok] : -1;
    return i < 0 ? NoneTok : TagTable[i].End;
}

std::string_view SymbolName(TokenKind tok) {
    return tok < std::size(SymbolNames) ? SymbolNames[tok] : "?";
}

} // namespace lumo
