// The lexical layer of the HTML reader. It reads the document one byte at a
// time, folds line ends (CR LF, LF CR, CR and LF each become one CR) and tabs
// (a space), skips comments and <!...> declarations, splices in the text the
// host supplies for <!--#...--> include directives, and hands the document
// builder one token at a time: a tag with its attributes, a run of text with
// the source position of every character, an end of file, or a stray control
// character.
//
// The builder drives the tokenizer and reads its state directly (CurChar,
// CurTok, Token, Attributes, ...). One parse owns the program's tokenizer at
// a time: ParserLock claims it and refuses a second claim while one runs.
//
// Text never carries the layout's placeholder bytes: the bytes 0, 2, 4, 5, 6,
// 7 and 8 read from the document become '?', and entities that would give a
// byte below 32 other than a line end stay literal.
#pragma once

#include "html/attributes.h"
#include "html/positioned_text.h"
#include "html/style_sheet.h"
#include "html/symbols.h"
#include "html/viewer_base.h"
#include "platform/code_page.h"
#include "platform/exception.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TStyleList;

class EParseError : public Exception {
public:
    using Exception::Exception;
};

// The host's answer to an include directive: the command ("include"), one
// NAME="value" line per parameter (the handler owns them), and the text to
// read in place of the directive (left empty for none).
using TIncludeType = std::function<void(TViewerBase* sender, const std::string& command,
                                        std::vector<std::string> params, std::string& buffer)>;

class HtmlTokenizer {
public:
    HtmlTokenizer();

    // Starts a parse of document, which must stay alive while it runs:
    // SrcPos -1, the flags cleared, nothing read yet (call ReadNextChar).
    void Begin(std::string_view document);

    // --- State the builder reads and sets --------------------------------
    char CurChar = EofCh;  // current character after line-end folding
    char CaseChar = EofCh; // CurChar upper-cased (ASCII only)
    TokenKind CurTok = EofTok;
    int SrcPos = -1;  // byte offset of CurChar in the document
    int TagIndex = 0; // offset of the "<" of the last tag
    uint8_t HeadingLevel = 0;
    bool InComment = false;
    bool InScript = false; // comments are not recognised inside SCRIPT
    bool InPre = false;    // white space kept as it is
    bool NoBreak = false;  // collapsed white space becomes the byte 5
    // The page's code page, set by the builder when a META declares one:
    // character references in a UTF-8 page become their UTF-8 bytes.
    TCodePage CodePage = TCodePage::Windows1252;
    TPositionedText Token;
    TAttributeList Attributes;
    // Told of every ID attribute with the source position of its tag.
    std::function<void(std::string_view id, int srcPos)> OnID;
    TIncludeType OnInclude;
    TViewerBase* CallerObject = nullptr; // the sender of host events

    // --- Operations ------------------------------------------------------
    void ReadRawChar();
    void ReadNextChar();
    void SkipWhiteSpace();
    void NextToken();
    // NextToken, reading the sheet of every STYLE block met into styles and
    // going on past it, so no construct takes a sheet for text.
    void NextTokenReadingStyles(TStyleList& styles);
    // With a STYLE tag current (its ">" still the current character): reads
    // the block's sheet into styles and leaves the "<" of </STYLE>, or the
    // end of input, current.
    void ReadStyleBlock(TStyleList& styles);
    // Decodes one "&..." sequence into into (Token by default); false
    // unless CaseChar is "&".
    bool ReadEntity(TPositionedText& into);
    bool ReadEntity() { return ReadEntity(Token); }
    void NextTextAreaToken();
    // With a TEXTAREA tag current: reads its text with the TEXTAREA scanner,
    // calling onToken (when set) for every token up to and with the end
    // tag, and passes the rest of that tag.
    void ReadTextArea(const std::function<void()>& onToken = {});
    void NextScriptToken();
    // The next byte without taking it; EofCh at the end of the input.
    char PeekChar() const;

private:
    char ReadChar();
    bool ReadTag();
    bool ReadText();
    bool ReadNumericEntity(TPositionedText& into, int ampersandPos);
    bool ReadNamedEntity(TPositionedText& into, int ampersandPos);
    // The character of a reference, at the position of its "&".
    void AddReferencedChar(TPositionedText& into, char32_t codePoint, int ampersandPos);
    void TakeEntityChar();      // keeps CurChar for a literal result and reads on
    bool TakeEntitySemicolon(); // takes a ';' if one is current
    bool ReadAttribute(std::string& upperName, TokenKind& sym, std::string& text, int& number);
    void SkipToTagEnd();
    void SkipCommentBody();
    void ReadInclude();
    // EofTok or EolTok for the TEXTAREA and SCRIPT scanners; false otherwise.
    bool ScannerLineToken();
    // Appends characters while keep says so, up to a text token's length.
    template <class Keep>
    void TakeWhile(Keep keep);

    std::string_view doc_;
    size_t pos_ = 0;
    std::string include_;
    size_t includePos_ = 0;
    bool inInclude_ = false;
    bool readingInclude_ = false; // the parameters of an include command
    uint8_t lastEol_ = 0;
    TPositionedText scratch_;   // an entity inside an attribute value
    TPositionedText entityRaw_; // the characters of an entity, for a literal one
};

// Claims the program's one tokenizer for a parse. A second claim while one
// is held raises EParseError, so a parse started from inside another (an
// event handler loading a page) cannot corrupt the running one.
class ParserLock {
public:
    ParserLock();
    ~ParserLock();
    ParserLock(const ParserLock&) = delete;
    ParserLock& operator=(const ParserLock&) = delete;

    HtmlTokenizer& Parser();
};

// Whether a byte is a stray control character rather than text.
inline bool IsStrayChar(char c) {
    auto b = static_cast<unsigned char>(c);
    return b < 32 && b != '\r' && b != EofCh;
}

// Reads a decimal number as attribute values do: an optional sign, digits, a
// fraction or an exponent, rounded and saturated at +-1,000,000; 0 when the
// (trimmed) text does not read as a number.
int ReadAttributeNumber(std::string_view text);

} // namespace lumo
