// The state and procedures of one parse. Internal to the builder's files.
#pragma once

#include "builder/document_builder.h"
#include "html/prop_stack.h"
#include "layout/table_columns.h"
#include "layout/text_section.h"
#include "layout/url_target.h"

#include <bitset>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>

namespace lumo {

class TCellBasic;
class TSection;
class THtmlForm;
class TBodyBlock;
class TBlock;
class TStyleList;
struct TListStyle;

using TokSet = std::bitset<TokenKindCount>;

inline TokSet Toks(std::initializer_list<TokenKind> kinds) {
    TokSet set;
    for (TokenKind k : kinds)
        set.set(k);
    return set;
}

// The builder's terminator and content sets.
const TokSet& TableCellTerminators();
const TokSet& ParagraphContent();
const TokSet& LineBreakContent();
const TokSet& ListBlockExtraTerminators();
const TokSet& ListItemExtraTerminators();
const TokSet& HeadingContent();
const TokSet& ListItemContent();
const TokSet& FrameBodyContent();

// Phrase elements that push a style entry and start a font run.
bool IsPhraseStart(TokenKind t);
bool IsPhraseEnd(TokenKind t);
// The phrase elements, start or end, that keep their look inside PRE (not
// TT, CODE, KBD, SAMP).
bool IsPrePhrase(TokenKind t);

// Reads a script with the SCRIPT scanner up to its end tag or the end of
// input; returns its text (lines joined with CR LF, at most 8 MB) when asked
// to keep it.
enum class TScriptText { Skip, Keep };
std::string ReadScript(HtmlTokenizer& p, TScriptText text);

// The head elements, read alike by a document parse and a frame walk. The
// hooks are called with sender; those that take no tokenizer leave the tag
// current.
//
// TITLE current: the text tokens after it, at most MaxTitle bytes; STYLE
// blocks on the way go into styles.
std::string ReadTitle(HtmlTokenizer& p, TStyleList& styles);
void ReadBase(const TAttributeList& attributes, TParseResult& result);
void RequestSound(const TAttributeList& attributes, const TSoundType& hook, TViewerBase* sender);
// A character set a text names: the first known name found in it (so
// "1252" wins over "1251" in a text that holds both).
struct TDeclaredCharset {
    uint8_t Charset = 0; // of the fonts
    TCodePage Page = TCodePage::Windows1252;
};
std::optional<TDeclaredCharset> DeclaredCharset(std::string_view text);
// Reports the META to hook; returns the character set of a content-type META.
std::optional<TDeclaredCharset> ReportMeta(const TAttributeList& attributes, const TMetaType& hook,
                                           TViewerBase* sender);
// SCRIPT current: reads the script to its end tag and hands it to hook.
void RunScript(HtmlTokenizer& p, const TScriptType& hook, TViewerBase* sender);

inline constexpr size_t MaxTitle = 4096;

// Tab stops of plain text, in characters.
inline constexpr int TextTabWidth = 8;

// Tables nest at most this deep; deeper TABLE tags are passed over.
inline constexpr int MaxTableDepth = 48;
// A linked sheet and the sheets it imports, nested at most this deep.
inline constexpr int MaxSheetDepth = 8;

// The point sizes of FONT SIZE 1 to 7, in body text and in PRE.
inline constexpr int NormalFontSizes[7] = {8, 10, 12, 14, 18, 24, 36};
inline constexpr int PreFontSizes[7] = {7, 8, 10, 12, 15, 20, 30};

// Past this many open elements with style, inline starts take the look of
// what encloses them: unclosed FONT and B tags by the thousand cost nothing.
inline constexpr int MaxStackDepth = 4 * MaxBlockDepth;

// Whether an element block takes the ALIGN of its tag.
enum class TTagAlign { No, Yes };
// Whether an element block's last item gives up its bottom margin to it.
enum class TBottomMargin { AsItIs, CheckLast };

class THtmlBuilder {
public:
    THtmlBuilder(TSectionList& list, HtmlTokenizer& parser, const TBuilderHooks& hooks);
    ~THtmlBuilder();
    THtmlBuilder(const THtmlBuilder&) = delete;
    THtmlBuilder& operator=(const THtmlBuilder&) = delete;

    // Builds the whole document; exceptions end the parse and are dropped.
    void ParseDocument(std::string_view document);
    void ParseText(std::string_view text);

    TParseResult Result;

    // --- Shared steps -----------------------------------------------------
    // The next token; STYLE blocks on the way go into the document's sheet,
    // and elements the style sheets do not display are passed over.
    void Next();
    // The next token as it stands.
    void ReadToken();
    // While the current token starts an element whose style says "display:
    // none", passes over the element whole, so nothing of it is built.
    void PassUndisplayed();
    // How the style sheets show the element whose start is the current
    // token; dsNormal when no rule or STYLE could change it.
    DisplayType ShownAs(TokenKind tok);
    void PassElement(TokenKind tok);
    // formsOpen: FORMs started and not ended in the element being passed.
    void KeepHiddenField(int& formsOpen);
    TokenKind Cur() const { return P.CurTok; }
    void FinishSection();
    void OpenSection(const TAttributeList* attributes = nullptr);
    void EnsureSection();
    void DropSection();
    void FontChanged();
    // The pushes return the new entry; past MaxStackDepth the stack is left
    // untouched and they return a scratch entry instead.
    TProperties& Push(std::string_view tag);
    TProperties& PushPlain(std::string_view tag, std::string_view pseudo = "");
    TProperties& PushEntry(std::string_view tag, std::string_view cls, std::string_view id,
                           std::string_view pseudo, const TProperties* style);
    // Pops the entry of tag, or forgets one refused push of it.
    void PopFor(std::string_view tag);
    // The tag's ALIGN into entry.
    void ApplyAlign(TProperties& entry);
    // Makes a block of the top entry, attaches it to ActiveCell at once (so
    // the tree stays whole whatever happens while it fills) and makes its
    // content the active cell.
    template <class Block, class... Args>
    Block* OpenBlock(Args&&... args);
    // The block's container becomes the active cell again.
    void CloseBlock(TBlock* block);
    // The steps every block element starts and ends with: the open section
    // ends, the tag's entry is pushed (and popped), the block is opened (and
    // closed).
    template <class Block = TBlock, class... Args>
    Block* BeginElementBlock(std::string_view tag, TTagAlign align = TTagAlign::No, Args&&... args);
    void EndElementBlock(TBlock* block, std::string_view tag,
                         TBottomMargin margin = TBottomMargin::AsItIs);
    bool BodyCellEmpty() const;
    // Blocks nest at most MaxBlockDepth deep, those of constructs and those
    // of inline elements shown as blocks alike.
    bool DeepEnough() const {
        return Depth + static_cast<int>(ShownBlocks.size()) >= MaxBlockDepth;
    }

    // --- Procedures -------------------------------------------------------
    void ParseBody(const TokSet& stop);
    void ParseBlockContent();
    // A token of running text (no construct that reads on past its tag):
    // what it does before the next token is read.
    void DoRunningText(TokenKind tok);
    void AddText();
    // A block whose first letter or first line a style sheet gives a look of
    // its own, while that letter or line is still to come: its element (for
    // the pseudo-element's rules) and its content; for the first line, the
    // section that holds it once it is opened.
    struct TAwaited {
        std::string Tag, Class, ID;
        const TCellBasic* Cell = nullptr;
        const TSection* Section = nullptr;
    };
    // The block just opened for tag (its attributes current) awaits its
    // first letter and first line where rules style them.
    void AwaitPseudoElements(std::string_view tag);
    TProperties& PushPseudo(const TAwaited& of, std::string_view pseudo);
    // The awaited first letter, with the punctuation before it, from the
    // text token current: added in its own look and taken off the token.
    void AddFirstLetter();
    // The section just opened holds the awaited first line, or the one that
    // does is finished.
    void NoteFirstLineSectionOpened();
    void NoteFirstLineSectionFinished();
    // The run just started in the first line's section takes its look there.
    void GiveFirstLineLook();
    void AddWordBreak();
    void AddImage();
    // PANEL current: its box joins the open section and the document.
    void AddPanel();
    void AddPageBreak();
    void DoBody();
    // The canvas takes the HTML element's background colour, or else the
    // body's, which then leaves the body's box.
    void PaintCanvas(TColor htmlBackground, TProperties& body);
    // The text from here on is in declared's code page.
    void UseCharset(const TDeclaredCharset& declared);
    // A charset the server named applies from the start, and no META overrides it.
    void UseServerCharset();
    // With no charset from the server, text that reads as UTF-8 is taken
    // for it; a META of the page may still name another.
    void UseUtf8If(std::string_view document);
    // BASE, LINK, BGSOUND or META before the body's content.
    void ReadHeadElement(TokenKind tok);
    void ReadLinkedStyleSheet();
    // Reads a linked or imported sheet into the document's rules.
    void LoadStyleSheet(const std::string& address, std::string_view sheetPath);
    void ParseParagraph(const TokSet& stop);
    void ParseBreak(const TokSet& stop);
    void ParseHeading();
    void ParseList(TokenKind listTok, const TokSet& stop);
    // An LI, DD or DT of list, numbered number.
    void ParseListItem(const TListStyle& list, TokenKind itemTok, int number, const TokSet& stop);
    void ParseForm(const TokSet& stop);
    void ParseCenter(const TokSet& stop);
    void ParseDiv(const TokSet& stop);
    // A DIV shown inline: its content runs on in the open section.
    void ParseInlineDiv(const TokSet& stop);
    // A DIV shown as a list item: a block with a marker, numbered among the
    // items of its container.
    TBlock* BeginStyledItem();
    // A phrase element's start pushes its entry, its end pops it.
    void DoPhrase(TokenKind tok);
    void StartPhrase(std::string_view tag);
    // The end of an inline element: its entry (and those above it) goes, with
    // its inline box, the block it was shown as, and its font.
    void EndInlineElement(std::string_view tag);
    // An inline element whose style shows it as a block gets one, into
    // which what follows goes until the element ends; null for others.
    TBlock* OpenShownBlock(const TProperties& entry);
    // The blocks of elements no longer open close, where they are being filled.
    void CloseShownBlocks();
    // A construct ends: the blocks opened inside it close with it.
    void DropShownBlocksFrom(size_t from) noexcept;
    // A picture shown as a block gets one of its own, with the picture's
    // width and side margins; null when it stays in the line (a float, or
    // blocks nested too deep).
    TBlock* OpenPictureBlock();
    // What follows the picture goes on beside its block.
    void ClosePictureBlock();
    // Inline borders and padding: a box opens with its element's entry and
    // closes when that entry is popped; each section it spans gets a part.
    void OpenInlineBox(const TProperties& entry);
    void CloseInlineBoxes();
    void EndInlineBoxParts();
    void StartInlineBoxParts();
    bool OnStack(const TProperties* entry) const;
    void DoAnchor();
    void EndAnchor();
    // FONT or BASEFONT current: pushes its entry, with SIZE, COLOR and FACE
    // where its rules and STYLE leave them.
    void ReadFontAttributes(TokenKind tok, const int* sizeTable);
    void ParsePre();
    void ParseTable();
    // MAP current: reads its areas; returns at its end tag (still current) or
    // at the third foreign token, which is left for the caller.
    void ParseMap();
    // INPUT, SELECT or TEXTAREA current: its control joins ActiveForm (or
    // the implicit form) and, unless hidden, the open section. A SELECT is
    // left at its end tag; a TEXTAREA is read past its end tag.
    void AddFormControl(TokenKind tok);
    void ReadSelect();
    void ReadTextArea();
    void DoHorizontalRule();

    // --- State ------------------------------------------------------------
    HtmlTokenizer& P;
    TSectionList& RootList;
    TBuilderHooks Hooks;
    TCellBasic* ActiveCell = nullptr;
    std::unique_ptr<TSection> ActiveSection;
    TBodyBlock* BodyBlock = nullptr;
    std::unique_ptr<TPropStack> Stack;
    // Pushes a full stack refused, by tag, and what they returned.
    std::map<std::string, int, std::less<>> Refused;
    TProperties Scratch;
    TUrlTarget ActiveLink;
    bool InsideLink = false;
    THtmlForm* ActiveForm = nullptr;
    int BaseFontLevel = 3;
    int ScriptShift = 0;        // 0 normal, 1 subscript, 2 superscript
    int Depth = 0;              // nesting of block constructs
    int TableDepth = 0;         // nesting of tables
    int SheetDepth = 0;         // nesting of sheets being read by LINK and @import
    bool ServerCharset = false; // the server named the code page
    // Whether a table opened now may widen itself until its percentage
    // columns get their share: not in a cell whose width is its content's.
    TWidenForPercents TableWidening = TWidenForPercents::Yes;
    // Inline elements with borders or padding that are still open: the box
    // of their current part, whether that part has begun in ActiveSection,
    // and their entry on the stack (only compared, never read).
    struct TOpenBox {
        TInlineBox Box;
        bool InSection = false;
        const TProperties* Entry = nullptr;
    };
    std::vector<TOpenBox> OpenBoxes;
    // Inline elements shown as blocks, innermost last: their entry (only
    // compared), the block's content and the cell it stands in.
    struct TShownBlock {
        const TProperties* Entry = nullptr;
        TCellBasic* Content = nullptr;
        TCellBasic* Container = nullptr;
    };
    std::vector<TShownBlock> ShownBlocks;
    std::optional<TAwaited> FirstLetter, FirstLine;
    // The cell of the last DIV shown as a list item, and its number.
    const TCellBasic* StyledItemCell = nullptr;
    int StyledItemNumber = 0;
};

// Raises the nesting depth for the life of a construct.
class TDepthGuard {
public:
    explicit TDepthGuard(THtmlBuilder& b) : b_(b), shownBlocks_(b.ShownBlocks.size()) {
        ++b_.Depth;
    }
    ~TDepthGuard() {
        b_.DropShownBlocksFrom(shownBlocks_);
        --b_.Depth;
    }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    THtmlBuilder& b_;
    size_t shownBlocks_;
};

// Loads an input of the frame entry points; false when it is missing.
bool LoadInput(const TLoadInput& input, std::string& out);

} // namespace lumo

#include "layout/block.h"

namespace lumo {

template <class Block, class... Args>
Block* THtmlBuilder::OpenBlock(Args&&... args) {
    auto block = std::make_unique<Block>(RootList, *ActiveCell, Stack->TopProps(),
                                         std::forward<Args>(args)...);
    Block* raw = block.get();
    ActiveCell->AddItem(std::move(block));
    ActiveCell = &raw->Content;
    return raw;
}

template <class Block, class... Args>
Block* THtmlBuilder::BeginElementBlock(std::string_view tag, TTagAlign align, Args&&... args) {
    FinishSection();
    TProperties& entry = Push(tag);
    if (align == TTagAlign::Yes) ApplyAlign(entry);
    Block* block = OpenBlock<Block>(std::forward<Args>(args)...);
    AwaitPseudoElements(tag);
    return block;
}

} // namespace lumo
