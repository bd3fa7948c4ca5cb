// The first letter and the first line of a block, in the looks that
// ":first-letter" and ":first-line" rules give them.
#include "builder/document_builder_state.h"

#include "html/style_list.h"
#include "layout/font_run.h"
#include "layout/section_list.h"
#include "platform/utf8.h"

#include <cctype>

namespace lumo {

void THtmlBuilder::AwaitPseudoElements(std::string_view tag) {
    FirstLetter.reset();
    FirstLine.reset();
    const TStyleList& sheet = RootList.StyleSheet;
    if (!sheet.StylesFirstLetters && !sheet.StylesFirstLines) return;
    const TAwaited block{std::string(tag), P.Attributes.GetClass(), P.Attributes.GetID(),
                         ActiveCell};
    auto styled = [&](std::string_view pseudo) {
        return !sheet.MatchingRules(*Stack, block.Tag, block.Class, block.ID, pseudo).empty();
    };
    if (sheet.StylesFirstLetters && styled("first-letter")) FirstLetter = block;
    if (sheet.StylesFirstLines && styled("first-line")) FirstLine = block;
}

TProperties& THtmlBuilder::PushPseudo(const TAwaited& of, std::string_view pseudo) {
    TProperties& entry = PushEntry(of.Tag, of.Class, of.ID, pseudo, nullptr);
    entry.TakeBackgroundColor(); // painted behind its text, as an inline element's
    return entry;
}

void THtmlBuilder::AddFirstLetter() {
    // Text of another block (a table cell's, say) is not this one's.
    if (ActiveCell != FirstLetter->Cell) return;
    const std::string& text = P.Token.S;
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    size_t start = 0;
    while (start < text.size() && isSpace(text[start]))
        ++start;
    if (start == text.size()) return; // the letter is still to come
    size_t end = start;
    while (end < text.size() && std::ispunct(static_cast<unsigned char>(text[end])))
        ++end;
    if (end < text.size()) end = NextCharIndex(text, end, P.CodePage);
    auto piece = [this](size_t from, size_t to) {
        TPositionedText part;
        part.S.assign(P.Token.S, from, to - from);
        part.I.assign(P.Token.I.begin() + static_cast<std::ptrdiff_t>(from),
                      P.Token.I.begin() + static_cast<std::ptrdiff_t>(to));
        return part;
    };
    if (start > 0) ActiveSection->AppendToken(piece(0, start));
    const TAwaited letter = std::move(*FirstLetter);
    FirstLetter.reset();
    // On the first line the letter's look stands inside the line's.
    const bool onFirstLine = FirstLine && FirstLine->Section == ActiveSection.get();
    if (onFirstLine) PushPseudo(*FirstLine, "first-line");
    const TProperties& entry = PushPseudo(letter, "first-letter");
    ActiveSection->StartRun(entry, ActiveLink, ScriptShift);
    if (onFirstLine) ActiveSection->SetFirstLineFont(entry.MakeFont(*RootList.Measure));
    ActiveSection->AppendToken(piece(start, end));
    PopFor(letter.Tag);
    if (onFirstLine) PopFor(FirstLine->Tag);
    FontChanged();
    P.Token = piece(end, text.size());
}

void THtmlBuilder::NoteFirstLineSectionOpened() {
    if (FirstLine->Section || ActiveCell != FirstLine->Cell) return;
    FirstLine->Section = ActiveSection.get();
    GiveFirstLineLook();
}

void THtmlBuilder::NoteFirstLineSectionFinished() {
    if (FirstLine->Section != ActiveSection.get()) return;
    // A section with no text has no first line: the next one in the block does.
    if (ActiveSection->Text.empty())
        FirstLine->Section = nullptr;
    else
        FirstLine.reset();
}

void THtmlBuilder::GiveFirstLineLook() {
    const TProperties& entry = PushPseudo(*FirstLine, "first-line");
    ActiveSection->SetFirstLineFont(entry.MakeFont(*RootList.Measure));
    PopFor(FirstLine->Tag);
}

} // namespace lumo
