// Parse set-up, the main loop and the head elements.
#include "builder/document_builder_state.h"

#include "address/address.h"
#include "html/parse_color.h"
#include "html/style_sheet.h"
#include "layout/body_block.h"
#include "layout/list_item_block.h"
#include "layout/preformatted_section.h"
#include "layout/section_list.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "platform/utf8.h"

#include <algorithm>
#include <iterator>

namespace lumo {

const TokSet& TableCellTerminators() {
    static const TokSet set = Toks({TableEndTok, TDTok, TDEndTok, TRTok, TREndTok, THTok, THEndTok,
                                    CaptionTok, CaptionEndTok});
    return set;
}

const TokSet& ParagraphContent() {
    static const TokSet set =
        Toks({BTok,           BEndTok,    ITok,         IEndTok,    BRTok,        EmTok,
              EmEndTok,       StrongTok,  StrongEndTok, UTok,       UEndTok,      CiteTok,
              CiteEndTok,     VarTok,     VarEndTok,    TTTok,      TTEndTok,     CodeTok,
              CodeEndTok,     KbdTok,     KbdEndTok,    SampTok,    SampEndTok,   ImageTok,
              ATok,           AEndTok,    CommandTok,   TextTok,    InputTok,     TextAreaTok,
              TextAreaEndTok, SelectTok,  FontTok,      FontEndTok, BaseFontTok,  SubTok,
              SubEndTok,      SupTok,     SupEndTok,    BigTok,     BigEndTok,    SmallTok,
              SmallEndTok,    MapTok,     PageTok,      ScriptTok,  ScriptEndTok, STok,
              SEndTok,        StrikeTok,  StrikeEndTok, PanelTok,   NoBrTok,      NoBrEndTok,
              WbrTok,         SpanTok,    SpanEndTok,   DfnTok,     DfnEndTok,    QTok,
              QEndTok,        InsTok,     InsEndTok,    DelTok,     DelEndTok,    AbbrTok,
              AbbrEndTok,     AcronymTok, AcronymEndTok});
    return set;
}

const TokSet& LineBreakContent() {
    static const TokSet set = [] {
        TokSet s = ParagraphContent();
        s.reset(BRTok);
        return s;
    }();
    return set;
}

const TokSet& ListBlockExtraTerminators() {
    static const TokSet set = Toks({OLEndTok, LITok, ULEndTok, DirEndTok, MenuEndTok, DLEndTok,
                                    DDTok, DTTok, BlockQuoteEndTok, EofTok});
    return set;
}

const TokSet& ListItemExtraTerminators() {
    static const TokSet set =
        Toks({OLTok, LITok, ULTok, DirTok, MenuTok, DLTok, DDTok, DTTok, OLEndTok, ULEndTok,
              DirEndTok, MenuEndTok, DLEndTok, BlockQuoteEndTok});
    return set;
}

const TokSet& HeadingContent() {
    static const TokSet set = [] {
        TokSet s = ParagraphContent();
        for (TokenKind k : {CommandTok, MapTok, PageTok})
            s.reset(k);
        return s;
    }();
    return set;
}

const TokSet& ListItemContent() {
    static const TokSet set = [] {
        TokSet s = ParagraphContent();
        s.reset(CommandTok);
        s.set(HeadingTok);
        s.set(TableTok);
        return s;
    }();
    return set;
}

const TokSet& FrameBodyContent() {
    static const TokSet set =
        Toks({BodyTok, PTok, HeadingTok, HRTok, OLTok, ULTok, DirTok, MenuTok, DLTok, AddressTok,
              BlockQuoteTok, PreTok, ImageTok, TableTok, FormTok});
    return set;
}

THtmlBuilder::THtmlBuilder(TSectionList& list, HtmlTokenizer& parser, const TBuilderHooks& hooks)
    : P(parser), RootList(list), Hooks(hooks) {
    RootList.StyleSheet.OnImport = [this](const std::string& address, std::string_view sheetPath) {
        LoadStyleSheet(address, sheetPath);
    };
}

THtmlBuilder::~THtmlBuilder() {
    RootList.StyleSheet.OnImport = nullptr;
}

void THtmlBuilder::Next() {
    ReadToken();
    const TProperties* style = P.Attributes.GetStyle();
    if (RootList.StyleSheet.HidesElements || (style && style->GetDisplay() == dsNone))
        PassUndisplayed();
}

void THtmlBuilder::ReadToken() {
    P.NextTokenReadingStyles(RootList.StyleSheet);
    // A page's a:hover colour turns hover colouring on, as OLINK does.
    if (RootList.StyleSheet.HoverColorSet) RootList.Defaults.HoverLinks = true;
}

void THtmlBuilder::FinishSection() {
    if (!ActiveSection) return;
    if (FirstLine) NoteFirstLineSectionFinished();
    EndInlineBoxParts();
    // Only a block's first line is indented, not text after a nested block.
    if (!ActiveCell->empty()) ActiveSection->DropFirstIndent();
    ActiveSection->Seal();
    ActiveCell->AddItem(std::move(ActiveSection));
}

void THtmlBuilder::OpenSection(const TAttributeList* attributes) {
    FinishSection();
    if (P.InPre)
        ActiveSection = std::make_unique<TPreformattedSection>(RootList, attributes, ActiveLink,
                                                               Stack->TopProps(), ScriptShift);
    else
        ActiveSection = std::make_unique<TSection>(RootList, attributes, ActiveLink,
                                                   Stack->TopProps(), ScriptShift);
    StartInlineBoxParts();
    if (FirstLine) NoteFirstLineSectionOpened();
}

void THtmlBuilder::EnsureSection() {
    if (!ActiveSection) OpenSection();
}

void THtmlBuilder::DropSection() {
    for (TOpenBox& open : OpenBoxes)
        open.InSection = false;
    ActiveSection.reset();
}

void THtmlBuilder::FontChanged() {
    if (!ActiveSection) return;
    ActiveSection->StartRun(Stack->TopProps(), ActiveLink, ScriptShift);
    if (FirstLine && FirstLine->Section == ActiveSection.get()) GiveFirstLineLook();
}

TProperties& THtmlBuilder::Push(std::string_view tag) {
    return PushEntry(tag, P.Attributes.GetClass(), P.Attributes.GetID(), "",
                     P.Attributes.GetStyle());
}

TProperties& THtmlBuilder::PushPlain(std::string_view tag, std::string_view pseudo) {
    return PushEntry(tag, "", "", pseudo, nullptr);
}

TProperties& THtmlBuilder::PushEntry(std::string_view tag, std::string_view cls,
                                     std::string_view id, std::string_view pseudo,
                                     const TProperties* style) {
    if (Stack->PropStackTop() < MaxStackDepth) return Stack->PushProps(tag, cls, id, pseudo, style);
    // A full stack is left as it is: the element's own values go nowhere and
    // its end pops nothing.
    auto [it, added] = Refused.try_emplace(std::string(tag), 0);
    ++it->second;
    Scratch = TProperties();
    return Scratch;
}

void THtmlBuilder::PopFor(std::string_view tag) {
    if (auto it = Refused.find(tag); it != Refused.end()) {
        if (--it->second == 0) Refused.erase(it);
        return;
    }
    Stack->PopPropsFor(tag);
}

void THtmlBuilder::ApplyAlign(TProperties& entry) {
    const TAttribute* align = P.Attributes.Find(AlignTok);
    if (!align) return;
    std::string a = LowerCase(Trim(align->Name));
    if (a == "left" || a == "center" || a == "right" || a == "justify")
        entry.Props.Set(Prop::TextAlign, a);
}

void THtmlBuilder::CloseBlock(TBlock* block) {
    ActiveCell = block->Container;
}

void THtmlBuilder::EndElementBlock(TBlock* block, std::string_view tag, TBottomMargin margin) {
    if (FirstLetter && FirstLetter->Cell == &block->Content) FirstLetter.reset();
    if (FirstLine && FirstLine->Cell == &block->Content) FirstLine.reset();
    FinishSection();
    if (margin == TBottomMargin::CheckLast) block->Content.CheckLastBottomMargin();
    block->CollapseLastMargin();
    PopFor(tag);
    CloseBlock(block);
}

bool THtmlBuilder::BodyCellEmpty() const {
    return BodyBlock && BodyBlock->Content.empty();
}

void THtmlBuilder::ParseDocument(std::string_view document) {
    ActiveCell = &RootList;
    P.CallerObject = RootList.Viewer;
    P.OnInclude = Hooks.OnInclude;
    P.OnID = [this](std::string_view id, int srcPos) {
        RootList.IDs.AddSourcePosition(id, srcPos);
    };
    P.InPre = false;
    Stack = std::make_unique<TPropStack>(RootList.StyleSheet);
    Stack->Reset();
    UseServerCharset();
    UseUtf8If(document);
    BodyBlock = OpenBlock<TBodyBlock>();
    OpenSection();
    P.InScript = false;
    P.NoBreak = false;
    try {
        P.Begin(document);
        P.ReadNextChar();
        Next();
        ParseBody(TokSet());
    } catch (...) {
        // A parse that fails (an unclosed comment, anything else) keeps what
        // it built; the tree is whole since every block was attached first.
    }
    FinishSection();
    Stack->clear();
    P.OnID = nullptr;
    P.InPre = false;
}

void THtmlBuilder::ParseText(std::string_view text) {
    ActiveCell = &RootList;
    Stack = std::make_unique<TPropStack>(RootList.StyleSheet);
    Stack->Reset();
    UseServerCharset();
    UseUtf8If(text);
    BodyBlock = OpenBlock<TBodyBlock>();
    PushPlain("pre");
    P.InPre = true;
    TPositionedText line;
    auto flush = [&] {
        EnsureSection();
        ActiveSection->AppendToken(line);
        line.Clear();
    };
    size_t i = 0;
    while (i < text.size()) {
        OpenSection();
        int column = 0;
        for (; i < text.size() && text[i] != '\r' && text[i] != '\n'; ++i) {
            const int pos = static_cast<int>(i);
            if (text[i] == '\t') {
                do
                    line.AddChar(' ', pos);
                while (++column % TextTabWidth != 0);
            } else {
                // Control bytes would act as the layout's placeholders.
                const auto c = static_cast<unsigned char>(text[i]);
                line.AddChar(c < ' ' || c == 0x7F ? ' ' : text[i], pos);
                ++column;
            }
            if (line.Leng() >= 200) flush();
        }
        flush();
        FinishSection();
        if (i == text.size()) break;
        // CR LF and LF CR are one line end each.
        const char first = text[i++];
        if (i < text.size() && (text[i] == '\r' || text[i] == '\n') && text[i] != first) ++i;
    }
    P.InPre = false;
    Stack->clear();
}

void THtmlBuilder::ParseBody(const TokSet& stop) {
    for (;;) {
        const TokenKind tok = Cur();
        if (tok == EofTok) {
            Next();
            return;
        }
        if (stop[tok]) return;
        switch (tok) {
        case TitleTok:
            if (BodyCellEmpty())
                Result.Title = ReadTitle(P, RootList.StyleSheet);
            else
                Next();
            break;
        case BodyTok:
            if (BodyCellEmpty())
                DoBody();
            else
                Next();
            break;
        case BaseTok:
        case LinkTok:
        case BgSoundTok:
        case MetaTok:
            // Head elements in the body are passed over.
            if (BodyCellEmpty()) ReadHeadElement(tok);
            Next();
            break;
        case PTok: ParseParagraph(stop); break;
        case OLTok:
        case ULTok:
        case DirTok:
        case MenuTok:
        case DLTok: ParseList(tok, stop); break;
        case AddressTok:
        case BlockQuoteTok:
            FinishSection();
            ParseList(tok, stop);
            break;
        case LITok: ParseListItem(TListStyle{OrphanItemTok}, LITok, 1, stop); break;
        case DDTok:
        case DTTok: ParseListItem(TListStyle{DLTok}, tok, 1, stop); break;
        case CenterTok: ParseCenter(stop); break;
        case DivTok: ParseDiv(stop); break;
        case FormTok: ParseForm(stop); break;
        default:
            if (ParagraphContent()[tok] || tok == HeadingTok || tok == HeadingEndTok ||
                tok == HRTok || tok == PreTok || tok == TableTok)
                ParseBlockContent();
            else
                Next();
            break;
        }
    }
}

void THtmlBuilder::ReadHeadElement(TokenKind tok) {
    switch (tok) {
    case BaseTok: ReadBase(P.Attributes, Result); break;
    case LinkTok: ReadLinkedStyleSheet(); break;
    case BgSoundTok: RequestSound(P.Attributes, Hooks.OnSoundRequest, RootList.Viewer); break;
    default:
        if (const auto declared = ReportMeta(P.Attributes, Hooks.OnMeta, RootList.Viewer);
            declared && Hooks.SingleViewer && !ServerCharset)
            UseCharset(*declared);
        break;
    }
}

void THtmlBuilder::UseCharset(const TDeclaredCharset& declared) {
    TProperties& top = Stack->TopProps();
    top.Charset = declared.Charset;
    top.CodePage = declared.Page;
    RootList.CodePage = P.CodePage = Result.CodePage = declared.Page;
    // The section open since the start goes on in the new code page's font.
    FontChanged();
}

void THtmlBuilder::UseServerCharset() {
    const auto declared = DeclaredCharset(Hooks.Charset);
    if (!declared) return;
    UseCharset(*declared);
    ServerCharset = true;
}

void THtmlBuilder::UseUtf8If(std::string_view document) {
    if (!ServerCharset && IsUtf8BeyondAscii(document)) UseCharset({0, TCodePage::Utf8});
}

void THtmlBuilder::DoBody() {
    DropSection(); // loose text before BODY goes
    // A table reading the text between its cells fills the body it stands
    // in and goes on adding to it, so the body is never replaced under it.
    const bool startsBody = BodyBlock && ActiveCell == &BodyBlock->Content && TableDepth == 0;
    // The HTML element stands around the body: its style, read by now from
    // the head, reaches the body, and its background is the canvas's.
    const TProperties* html = startsBody ? &PushEntry("html", "", "", "", nullptr) : nullptr;
    TProperties& body = Push("body");
    int width = RootList.Defaults.MarginWidth, height = RootList.Defaults.MarginHeight;
    auto color = [&](const TAttribute& a, int index) {
        TColor c;
        if (!ParseColor(a.Name, TPound::Optional, c)) return;
        body.Props.Set(index, static_cast<int>(c | PaletteRelative));
        body.Assigned[index] = true;
    };
    for (const auto& a : P.Attributes) {
        switch (a->Which) {
        case MarginWidthTok: width = std::clamp(a->Value, 0, 200); break;
        case MarginHeightTok: height = std::clamp(a->Value, 0, 200); break;
        case TextTok: color(*a, Prop::Color); break;
        case BGColorTok: color(*a, Prop::BackgroundColor); break;
        case BackgroundTok: body.Props.Set(Prop::BackgroundImage, "url(" + a->Name + ")"); break;
        case LinkTok: color(*a, Prop::LinkColor); break;
        case VLinkTok: color(*a, Prop::VisitedColor); break;
        case OLinkTok:
            color(*a, Prop::HoverColor);
            RootList.Defaults.HoverLinks = true;
            break;
        default: break;
        }
    }
    // The page's margins, unless its style sheet sets them.
    for (const auto& [side, margin] : {std::pair{Prop::MarginLeft, width},
                                       {Prop::MarginRight, width},
                                       {Prop::MarginTop, height},
                                       {Prop::MarginBottom, height}})
        if (!body.Assigned[side]) body.Props.Set(side, margin);

    std::string image;
    if (body.GetBackgroundImage(image) && !image.empty()) RootList.BackImage.SetFrom(image, body);
    PaintCanvas(html ? html->GetBackgroundColor() : clNone, body);

    if (startsBody) {
        auto it = std::find_if(RootList.begin(), RootList.end(),
                               [this](const auto& item) { return item.get() == BodyBlock; });
        if (it != RootList.end()) RootList.erase(it);
        ShownBlocks.clear(); // none stood in the empty body
        ActiveCell = &RootList;
        BodyBlock = OpenBlock<TBodyBlock>();
    } else {
        // Met inside another construct: the document takes its colours, and
        // the blocks being filled stay where they are.
        PopFor("body");
    }
    OpenSection();
    Next();
}

void THtmlBuilder::PaintCanvas(TColor htmlBackground, TProperties& body) {
    if (htmlBackground != clNone) {
        // The body's own colour stays on its box.
        RootList.SetBackColor(htmlBackground | PaletteRelative);
        return;
    }
    // The body's colour fills the whole canvas, not its box alone.
    const int* back = body.Int(Prop::BackgroundColor);
    if (back && static_cast<TColor>(*back) != clNone)
        RootList.SetBackColor(static_cast<TColor>(*back) | PaletteRelative);
    body.Props.Set(Prop::BackgroundColor, static_cast<int>(clNone));
}

void THtmlBuilder::ReadLinkedStyleSheet() {
    const TAttribute* rel = P.Attributes.Find(RelTok);
    const TAttribute* rev = P.Attributes.Find(RevTok);
    const TAttribute* href = P.Attributes.Find(HrefTok);
    const bool sheet = (rel && SameText(Trim(rel->Name), "stylesheet")) ||
                       (rev && SameText(Trim(rev->Name), "stylesheet"));
    if (sheet && href && !href->Name.empty()) LoadStyleSheet(href->Name, "");
}

void THtmlBuilder::LoadStyleSheet(const std::string& address, std::string_view sheetPath) {
    // Sheets that import each other stop here.
    if (SheetDepth >= MaxSheetDepth) return;
    const std::string name =
        sheetPath.empty() && RootList.OnExpandName ? RootList.OnExpandName(address) : address;
    std::string text;
    bool have = false;
    if (RootList.OnStyleSheetRequest) {
        have = RootList.OnStyleSheetRequest(name, text);
    } else {
        auto file = ReadWholeFile(AddressToPath(name), 1 << 20);
        if (file) {
            text = std::move(*file);
            have = true;
        }
    }
    if (!have) return;
    ++SheetDepth;
    ReadStyleSheetText(RootList.StyleSheet, text, name);
    --SheetDepth;
}

// --- Head elements ----------------------------------------------------------

std::string ReadTitle(HtmlTokenizer& p, TStyleList& styles) {
    std::string title;
    p.NextTokenReadingStyles(styles);
    while (p.CurTok == TextTok) {
        if (title.size() < MaxTitle) title += p.Token.S.substr(0, MaxTitle - title.size());
        p.NextTokenReadingStyles(styles);
    }
    return title;
}

void ReadBase(const TAttributeList& attributes, TParseResult& result) {
    if (const TAttribute* href = attributes.Find(HrefTok)) result.Base = href->Name;
    if (const TAttribute* target = attributes.Find(TargetTok)) result.BaseTarget = target->Name;
}

void RequestSound(const TAttributeList& attributes, const TSoundType& hook, TViewerBase* sender) {
    const TAttribute* src = attributes.Find(SrcTok);
    if (!hook || !src) return;
    const TAttribute* loop = attributes.Find(LoopTok);
    hook(sender, src->Name, loop ? loop->Value : 1, false);
}

std::optional<TDeclaredCharset> DeclaredCharset(std::string_view text) {
    struct TCharsetName {
        std::string_view Text;
        TDeclaredCharset Declared;
    };
    using enum TCodePage;
    static constexpr TCharsetName charsets[] = {
        {"1252", {0, Windows1252}},   {"8859-1", {0, Windows1252}}, {"1253", {161, Windows1253}},
        {"8859-7", {161, Iso8859_7}}, {"1250", {238, Windows1250}}, {"8859-2", {238, Iso8859_2}},
        {"1251", {204, Windows1251}}, {"8859-5", {204, Iso8859_5}}, {"koi8-r", {204, Koi8R}},
        {"1254", {162, Windows1254}}, {"8859-3", {162, Iso8859_3}}, {"8859-9", {162, Iso8859_9}},
        {"1257", {186, Windows1257}}, {"8859-4", {186, Iso8859_4}}, {"utf-8", {0, Utf8}},
        {"utf8", {0, Utf8}}};
    const std::string lower = LowerCase(text);
    for (const TCharsetName& name : charsets)
        if (lower.find(name.Text) != std::string::npos) return name.Declared;
    return std::nullopt;
}

std::optional<TDeclaredCharset> ReportMeta(const TAttributeList& attributes, const TMetaType& hook,
                                           TViewerBase* sender) {
    const std::string httpEq = attributes.Text(HttpEqTok);
    const std::string content = attributes.Text(ContentTok);
    if (hook) hook(sender, httpEq, attributes.Text(NameTok), content);
    if (!SameText(httpEq, "content-type")) return std::nullopt;
    return DeclaredCharset(content);
}

// --- Entry points -----------------------------------------------------------

namespace {

std::string ReadStream(TStream& stream) {
    std::string out;
    stream.Seek(0);
    const int64_t size = std::clamp<int64_t>(stream.Size(), 0, MaxDocumentSize);
    out.resize(static_cast<size_t>(size));
    out.resize(stream.Read(out.data(), out.size()));
    return out;
}

// A missing file reads as an empty page; a larger one than a page may be, as
// its start.
std::string ReadFile(std::string_view fName) {
    auto text = ReadWholeFile(fName, MaxDocumentSize, TOverLimit::ReadStart);
    return text ? std::move(*text) : std::string();
}

// The server's charset comes with the stream unless the caller names one.
TBuilderHooks WithStreamCharset(const TBuilderHooks& hooks, const TStream& stream) {
    TBuilderHooks with = hooks;
    if (with.Charset.empty()) with.Charset = stream.Charset;
    return with;
}

enum class TDocKind { Html, Text };

TParseResult Parse(TSectionList& list, std::string_view input, const TBuilderHooks& hooks,
                   TDocKind kind) {
    ParserLock lock;
    THtmlBuilder builder(list, lock.Parser(), hooks);
    const std::string_view document = input.substr(0, MaxDocumentSize);
    if (kind == TDocKind::Html)
        builder.ParseDocument(document);
    else
        builder.ParseText(document);
    return builder.Result;
}

} // namespace

TParseResult ParseHtmlBuffer(TSectionList& list, std::string_view buffer,
                             const TBuilderHooks& hooks) {
    return Parse(list, buffer, hooks, TDocKind::Html);
}

TParseResult ParseHtmlFile(TSectionList& list, std::string_view fName, const TBuilderHooks& hooks) {
    return Parse(list, ReadFile(fName), hooks, TDocKind::Html);
}

TParseResult ParseHtmlStream(TSectionList& list, TStream& stream, const TBuilderHooks& hooks) {
    return Parse(list, ReadStream(stream), WithStreamCharset(hooks, stream), TDocKind::Html);
}

void ParseTextFile(TSectionList& list, std::string_view fName) {
    Parse(list, ReadFile(fName), {}, TDocKind::Text);
}

void ParseTextStream(TSectionList& list, TStream& stream) {
    Parse(list, ReadStream(stream), WithStreamCharset({}, stream), TDocKind::Text);
}

void ParseTextBuffer(TSectionList& list, std::string_view text) {
    Parse(list, text, {}, TDocKind::Text);
}

bool LoadInput(const TLoadInput& input, std::string& out) {
    switch (input.Mode) {
    case TLoadMode::File: {
        auto text = ReadWholeFile(input.FName, MaxDocumentSize, TOverLimit::ReadStart);
        if (!text) return false;
        out = std::move(*text);
        return true;
    }
    case TLoadMode::Strings:
        if (!input.Strings) return false;
        out.clear();
        for (const std::string& line : *input.Strings) {
            if (out.size() > MaxDocumentSize) break;
            out += line;
            out += "\r\n";
        }
        return true;
    case TLoadMode::Buffer:
        if (!input.Buffer) return false;
        out.assign(input.Buffer->substr(0, std::min(input.Buffer->size(), MaxDocumentSize)));
        return true;
    case TLoadMode::Stream:
        if (!input.Stream) return false;
        out = ReadStream(*input.Stream);
        return true;
    }
    return false;
}

} // namespace lumo
