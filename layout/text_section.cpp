#include "layout/text_section.h"

#include "html/attributes.h"
#include "layout/inline_image.h"
#include "layout/inline_panel.h"
#include "layout/section_list.h"
#include "platform/ansi.h"
#include "platform/text.h"
#include "platform/utf8.h"

#include <algorithm>

namespace lumo {

namespace {

constexpr char NoBrSpaceChar = 5;
constexpr char NbspChar = static_cast<char>(160);
constexpr std::string_view Utf8Nbsp = "\xC2\xA0";

// In a UTF-8 page the NOBR spaces become U+00A0, two bytes from one position.
void NbspAsUtf8(std::string& text, std::vector<int>& positions) {
    std::string out;
    std::vector<int> outPos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == NoBrSpaceChar) {
            out += Utf8Nbsp;
            outPos.push_back(positions[i]);
        } else {
            out += text[i];
        }
        outPos.push_back(positions[i]);
    }
    text = std::move(out);
    positions = std::move(outPos);
}

TextAlign AlignmentOf(const TProperties& props) {
    const std::string* s = props.Text(Prop::TextAlign);
    if (s && *s == "right") return TextAlign::Right;
    if (s && *s == "center") return TextAlign::Center;
    if (s && *s == "justify") return TextAlign::Justify;
    return TextAlign::Left;
}

// The run of a new font: a link run gets its visited and hover looks. A
// link is one the builder assigned, an empty address (the page itself) too.
std::unique_ptr<TFontRun> MakeRun(TSection* owner, int start, const TProperties& props,
                                  const TUrlTarget& link, int scriptShift, TSectionList& root) {
    Canvas& measure = *root.Measure;
    TFontTable& fonts = root.Fonts;
    if (link.ID == 0)
        return std::make_unique<TFontRun>(owner, start, fonts.Intern(props.MakeFont(measure)),
                                          scriptShift);
    const TProperties::TLinkFonts looks = props.MakeLinkFonts(measure);
    auto run = std::make_unique<TFontRun>(owner, start, fonts.Intern(looks.Link), scriptShift);
    TLinkLook look{link, &fonts.Intern(looks.Visited), nullptr};
    if (root.Defaults.HoverLinks) look.HoverFont = &fonts.Intern(looks.Hover);
    run->SetLink(look);
    return run;
}

void EraseFromBack(std::vector<TFontRun*>& list, const TFontRun* run) {
    for (size_t i = list.size(); i-- > 0;)
        if (list[i] == run) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

} // namespace

TSection::TSection(TSectionList& root, const TAttributeList* attributes, const TUrlTarget& link,
                   const TProperties& props, int scriptShift)
    : TSectionBase(root) {
    Runs.push_back(MakeRun(this, 0, props, link, scriptShift, root));
    if (Runs.back()->IsLink()) root.LinkList.push_back(Runs.back().get());
    LineSpacing = props.GetLineHeight();
    Alignment = AlignmentOf(props);
    if (const std::string* indent = props.Text(Prop::TextIndent)) {
        Rare().FirstIndent = *indent;
        rare_->IndentEm = props.EmSize;
        rare_->IndentEx = props.ExSize;
    }
    if (attributes) {
        if (const TAttribute* clear = attributes->Find(ClearTok)) {
            std::string v = LowerCase(Trim(clear->Name));
            ClearSide = v == "left" ? clrLeft : v == "right" ? clrRight : clrAll;
        }
        if (const TAttribute* id = attributes->Find(IDTok); id && !id->Name.empty()) {
            root.IDs.AddObject(id->Name, this);
            Rare().Names.push_back(id->Name);
        }
    }
    props.GetClear(ClearSide);
}

TSection::TSection(TSectionList& root, const TSection& source)
    : TSectionBase(root, source), Text(source.Text), SourceMap(source.SourceMap),
      InlineBoxes(source.InlineBoxes), Alignment(source.Alignment), ClearSide(source.ClearSide),
      LineSpacing(source.LineSpacing), HasAnchor(source.HasAnchor), NoBreak(source.NoBreak) {
    if (source.rare_) {
        Rare() = *source.rare_;
        rare_->Names.clear();
    }
    for (const auto& run : source.Runs) {
        auto copy = std::make_unique<TFontRun>(
            this, run->StartIndex, root.Fonts.Intern(run->PlainFont()), run->ScriptShift);
        if (run->IsLink()) {
            TLinkLook look{run->Link(), &root.Fonts.Intern(*run->VisitedFont()), nullptr};
            if (run->HoverFont()) look.HoverFont = &root.Fonts.Intern(*run->HoverFont());
            copy->SetLink(look);
            root.LinkList.push_back(copy.get());
        }
        copy->IsVisited = run->IsVisited;
        if (run->FirstLineFont) {
            copy->FirstLineFont = &root.Fonts.Intern(*run->FirstLineFont);
            firstLineLook_ = true;
        }
        copy->OnFirstLine = run->OnFirstLine;
        Runs.push_back(std::move(copy));
    }
    if (source.objects_) CopyObjects(root, *source.objects_);
}

void TSection::CopyObjects(TSectionList& root, const TObjectLists& source) {
    TObjectLists& lists = ObjectLists();
    for (const auto& image : source.Images)
        lists.Images.push_back(std::make_unique<TInlineImage>(root, *this, *image));
    for (const TFormControl* control : source.Controls)
        lists.Controls.push_back(
            &root.AddFormControl(std::make_unique<TFormControl>(root, *control)));
    for (const auto& panel : source.Panels)
        lists.Panels.push_back(std::make_unique<TInlinePanel>(root, *panel));
    // Every object again, in text order.
    for (const auto& image : lists.Images)
        lists.All.push_back(image.get());
    lists.All.insert(lists.All.end(), lists.Controls.begin(), lists.Controls.end());
    for (const auto& panel : lists.Panels)
        lists.All.push_back(panel.get());
    std::sort(lists.All.begin(), lists.All.end(),
              [](const auto* a, const auto* b) { return a->CharPos < b->CharPos; });
}

namespace {
// What a section without inline objects answers for each list.
template <class List>
const List& EmptyList() {
    static const List none;
    return none;
}
} // namespace

const std::vector<std::unique_ptr<TInlineImage>>& TSection::Images() const {
    return objects_ ? objects_->Images : EmptyList<std::vector<std::unique_ptr<TInlineImage>>>();
}

const std::vector<TFormControl*>& TSection::Controls() const {
    return objects_ ? objects_->Controls : EmptyList<std::vector<TFormControl*>>();
}

const std::vector<std::unique_ptr<TInlinePanel>>& TSection::Panels() const {
    return objects_ ? objects_->Panels : EmptyList<std::vector<std::unique_ptr<TInlinePanel>>>();
}

const std::vector<TInlineObject*>& TSection::Objects() const {
    return objects_ ? objects_->All : EmptyList<std::vector<TInlineObject*>>();
}

TSection::TObjectLists& TSection::ObjectLists() {
    if (!objects_) objects_ = std::make_unique<TObjectLists>();
    return *objects_;
}

std::unique_ptr<TSectionBase> TSection::Clone(TSectionList& root, TCellBasic&) const {
    return std::make_unique<TSection>(root, *this);
}

TSection::~TSection() {
    if (Root->Resetting) return;
    if (rare_)
        for (const std::string& name : rare_->Names)
            Root->IDs.RemoveObject(name, this);
    RemoveLinkRuns();
}

void TSection::RemoveLinkRuns() {
    for (auto& run : Runs) {
        if (Root->HoverLink == run.get()) Root->HoverLink = nullptr;
        if (run->IsLink()) EraseFromBack(Root->LinkList, run.get());
    }
}

void TSection::AppendRaw(std::string_view text, const int* positions) {
    Text.append(text);
    SourcePositions.insert(SourcePositions.end(), positions, positions + text.size());
    minWidth_ = maxWidth_ = -1;
}

void TSection::AppendText(std::string_view text, int sourceIndex) {
    TPositionedText token;
    for (size_t i = 0; i < text.size(); ++i)
        token.AddChar(text[i], sourceIndex + static_cast<int>(i));
    AppendToken(token);
}

bool TSection::EndsWithSpace() {
    if (Text.empty()) return false;
    if (Text.back() == ' ') return true;
    if (Root->CodePage != TCodePage::Utf8) return Text.back() == NbspChar;
    // U+00A0 is two bytes: the first goes, the second becomes the break.
    if (!Text.ends_with(Utf8Nbsp)) return false;
    Text.erase(Text.size() - 2, 1);
    if (SourcePositions.size() > Text.size()) SourcePositions.erase(SourcePositions.end() - 2);
    return true;
}

void TSection::AppendToken(const TPositionedText& token) {
    std::string_view s = token.S;
    const int* pos = token.I.data();
    if (s.empty()) return;
    if (s.size() == 1 && s[0] == BreakChar && EndsWithSpace()) {
        Text.back() = BreakChar;
        return;
    }
    const bool atLineStart = Text.empty() || Text.back() == BreakChar || Text.back() == ' ';
    if (!NoBreak) {
        if (atLineStart && s[0] == ' ') {
            s.remove_prefix(1);
            ++pos;
        }
        if (!s.empty()) AppendRaw(s, pos);
        return;
    }
    // Inside NOBR the tokenizer marks collapsed white space with 5.
    if (atLineStart && s[0] == NoBrSpaceChar) {
        s.remove_prefix(1);
        ++pos;
    }
    std::string out;
    std::vector<int> outPos;
    out.reserve(s.size());
    outPos.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (!out.empty()) {
            const char p = out.back();
            const bool pairs = (p == ' ' && c == NoBrSpaceChar) ||
                               (p == NoBrSpaceChar && c == NoBrSpaceChar) ||
                               (p == NoBrSpaceChar && c == ' ');
            if (pairs) continue;
        }
        out += c;
        outPos.push_back(pos[i]);
    }
    if (Root->CodePage == TCodePage::Utf8)
        NbspAsUtf8(out, outPos);
    else
        std::replace(out.begin(), out.end(), NoBrSpaceChar, NbspChar);
    if (!out.empty()) AppendRaw(out, outPos.data());
}

void TSection::StartRun(const TProperties& props, const TUrlTarget& link, int scriptShift) {
    const int start = static_cast<int>(Text.size());
    auto run = MakeRun(this, start, props, link, scriptShift, *Root);
    if (Runs.back()->StartIndex == start) {
        TFontRun* old = Runs.back().get();
        if (Root->HoverLink == old) Root->HoverLink = nullptr;
        if (old->IsLink()) EraseFromBack(Root->LinkList, old);
        Runs.back() = std::move(run);
    } else {
        Runs.push_back(std::move(run));
    }
    if (Runs.back()->IsLink()) Root->LinkList.push_back(Runs.back().get());
}

void TSection::AddAnchorName(std::string_view name) {
    Root->IDs.AddObject(name, this);
    Rare().Names.emplace_back(name);
    HasAnchor = true;
}

TSection::TRare& TSection::Rare() {
    if (!rare_) rare_ = std::make_unique<TRare>();
    return *rare_;
}

int TSection::FirstLineIndent(int room) const {
    if (!rare_ || rare_->FirstIndent.empty()) return 0;
    return ConvertLength(rare_->FirstIndent, TPlainNumber::Pixels, room, rare_->IndentEm,
                         rare_->IndentEx, 0);
}

void TSection::DropFirstIndent() {
    if (rare_) rare_->FirstIndent.clear();
}

void TSection::Seal() {
    SourceMap.clear();
    for (size_t i = 0; i < SourcePositions.size(); ++i) {
        const int p = SourcePositions[i];
        if (i == 0 || p != SourcePositions[i - 1] + 1)
            SourceMap.push_back({static_cast<int>(i), p});
    }
    std::vector<int>().swap(SourcePositions);
    // Nothing is appended after this: give back what appending reserved.
    SourceMap.shrink_to_fit();
    Text.shrink_to_fit();
    Runs.shrink_to_fit();
    ApplyLetterCase();
}

namespace {

bool IsWordChar(char c, TCodePage page) {
    const auto u = static_cast<unsigned char>(c);
    if (page == TCodePage::Utf8 && u >= 0x80) return true;
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
           u >= 0xC0 || c == '\'' || u == 0x92 || u == 0x8A || u == 0x8C || u == 0x8E ||
           u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F;
}

} // namespace

void TSection::ApplyLetterCase() {
    if (rare_) rare_->Shown.clear();
    const bool any = std::any_of(Runs.begin(), Runs.end(), [](const auto& run) {
        return run->PlainFont().Case != TextCase::AsWritten;
    });
    if (!any) return;
    std::string& shown = Rare().Shown;
    shown = Text;
    const bool utf8 = Root->CodePage == TCodePage::Utf8;
    // Other single-byte code pages pair their letters as the host says.
    const TLetterCases* pairs =
        Root->LetterCasesOf && !utf8 && Root->CodePage != TCodePage::Windows1252
            ? &Root->LetterCasesOf(Root->CodePage)
            : nullptr;
    const auto upper = [pairs](char ch) {
        return pairs ? static_cast<char>(pairs->Upper[static_cast<unsigned char>(ch)])
                     : AnsiUpperChar(ch);
    };
    const auto lower = [pairs](char ch) {
        return pairs ? static_cast<char>(pairs->Lower[static_cast<unsigned char>(ch)])
                     : AnsiLowerChar(ch);
    };
    for (size_t r = 0; r < Runs.size(); ++r) {
        const TextCase c = Runs[r]->PlainFont().Case;
        const int end = RunEnd(static_cast<int>(r));
        for (int i = Runs[r]->StartIndex; i < end; ++i) {
            // A word's first letter is the one after a character that is
            // not part of a word, whatever run that character is in.
            const bool wordStart = i == 0 || !IsWordChar(Text[i - 1], Root->CodePage);
            // Letters of other alphabets may change their length in UTF-8;
            // only ASCII ones change there.
            if (utf8 && static_cast<unsigned char>(Text[i]) >= 0x80) continue;
            if (c == TextCase::Upper || (c == TextCase::Capitalize && wordStart))
                shown[i] = upper(Text[i]);
            else if (c == TextCase::Lower)
                shown[i] = lower(Text[i]);
        }
    }
}

TInlineImage& TSection::AppendImage(const TAttributeList& attributes, int sourceIndex) {
    const int at = static_cast<int>(Text.size());
    AppendRaw("\x04", &sourceIndex);
    TObjectLists& lists = ObjectLists();
    lists.Images.push_back(std::make_unique<TInlineImage>(*Root, *this, attributes, at));
    lists.All.push_back(lists.Images.back().get());
    return *lists.Images.back();
}

void TSection::AppendControl(TFormControl& control, int sourceIndex) {
    control.CharPos = static_cast<int>(Text.size());
    AppendRaw("\x02", &sourceIndex);
    TObjectLists& lists = ObjectLists();
    lists.Controls.push_back(&control);
    lists.All.push_back(&control);
}

TInlinePanel& TSection::AppendPanel(const TAttributeList& attributes, int sourceIndex) {
    const int at = static_cast<int>(Text.size());
    AppendRaw("\x04", &sourceIndex);
    TObjectLists& lists = ObjectLists();
    lists.Panels.push_back(std::make_unique<TInlinePanel>(*Root, attributes, at));
    lists.All.push_back(lists.Panels.back().get());
    return *lists.Panels.back();
}

TInlineObject* TSection::ObjectAtIndex(int i) const {
    const std::vector<TInlineObject*>& objects = Objects();
    auto it = std::lower_bound(objects.begin(), objects.end(), i,
                               [](const auto* object, int v) { return object->CharPos < v; });
    return it != objects.end() && (*it)->CharPos == i ? *it : nullptr;
}

int TSection::ObjectWidth(int i) const {
    const TInlineObject* object = ObjectAtIndex(i);
    return object ? object->LineWidth() : 0;
}

void TSection::SingleSpace(int sourcePos) {
    if (!Text.empty()) return;
    AppendRaw(" ", &sourcePos);
}

bool TSection::Droppable() const {
    if (HasAnchor || ClearSide != clrNone) return false;
    return std::all_of(Text.begin(), Text.end(), [](char c) { return c == ' '; });
}

void TSection::SplitRunAt(int index) {
    const int r = RunIndexAt(index);
    if (Runs[r]->StartIndex >= index) return;
    auto copy = Runs[r]->CopyFrom(index);
    if (copy->IsLink()) {
        auto& links = Root->LinkList;
        auto it = std::find(links.begin(), links.end(), Runs[r].get());
        links.insert(it == links.end() ? it : it + 1, copy.get());
    }
    Runs.insert(Runs.begin() + r + 1, std::move(copy));
}

void TSection::SetFirstLineFont(const TFont& font) {
    Runs.back()->FirstLineFont = &Root->Fonts.Intern(font);
    firstLineLook_ = true;
}

void TSection::JoinCutRuns() {
    for (size_t r = Runs.size(); r-- > 1;) {
        TFontRun* run = Runs[r].get();
        if (!run->Cut) continue;
        if (Root->HoverLink == run) Root->HoverLink = Runs[r - 1].get();
        if (run->IsLink()) EraseFromBack(Root->LinkList, run);
        Runs.erase(Runs.begin() + static_cast<std::ptrdiff_t>(r));
    }
}

void TSection::MarkFirstLine(int end) {
    for (auto& run : Runs)
        run->MarkFirstLine(run->StartIndex < end);
}

int TSection::RunIndexAt(int i) const {
    auto it = std::upper_bound(Runs.begin(), Runs.end(), i,
                               [](int v, const auto& run) { return v < run->StartIndex; });
    return it == Runs.begin() ? 0 : static_cast<int>(it - Runs.begin()) - 1;
}

int TSection::RunEnd(int runIndex) const {
    return runIndex + 1 < static_cast<int>(Runs.size()) ? Runs[runIndex + 1]->StartIndex
                                                        : static_cast<int>(Text.size());
}

std::string TSection::Drawable(std::string_view piece) const {
    std::string s(piece);
    // In UTF-8 the byte is part of other characters; U+00A0 draws as a space.
    if (Root->CodePage != TCodePage::Utf8) std::replace(s.begin(), s.end(), NbspChar, ' ');
    return s;
}

int TSection::CharEnd(int i) const {
    return static_cast<int>(NextCharIndex(Text, static_cast<size_t>(i), Root->CodePage));
}

int TSection::CharStart(int i) const {
    return static_cast<int>(CharBoundaryAtOrBefore(Text, static_cast<size_t>(i), Root->CodePage));
}

} // namespace lumo
