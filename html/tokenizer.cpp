#include "html/tokenizer.h"

#include "html/entities.h"
#include "html/properties.h"
#include "html/style_sheet.h"
#include "platform/ansi.h"
#include "platform/text.h"
#include "platform/utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lumo {

namespace {

constexpr size_t MaxTextToken = 100;
constexpr size_t MaxName = 255;
// Attributes kept per tag; more than any real page uses, few enough that a
// tag of millions of names cannot take memory many times its size.
constexpr size_t MaxAttributes = 256;

bool IsLetter(char upper) {
    return upper >= 'A' && upper <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of c as a digit in base 10 or 16, or -1.
int DigitValue(char c, int base) {
    if (IsDigit(c)) return c - '0';
    const char upper = static_cast<char>(c & ~0x20);
    if (base == 16 && upper >= 'A' && upper <= 'F') return upper - 'A' + 10;
    return -1;
}

// Digits a numeric character reference may have; one more leaves it as text.
constexpr int MaxEntityDigits = 5;

// The code page's byte for a character reference: '?' for what the code page
// cannot hold, for surrogates and for anything that would land below 32.
unsigned char CodePointByte(char32_t cp) {
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    const unsigned char b = cp > 0xFFFF || surrogate ? '?' : CodePointToAnsi(cp);
    return b < 32 ? '?' : b;
}

// Bytes the layout reads as placeholders (and NUL) never enter the text.
constexpr char SafeByte(char c) {
    switch (c) {
    case 0:
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8: return '?';
    default: return c;
    }
}

} // namespace

int ReadAttributeNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double n = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ptr != text.data() + text.size()) return 0;
    if (ec == std::errc::result_out_of_range)
        n = text.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    else if (ec != std::errc() || std::isnan(n))
        return 0;
    return static_cast<int>(std::lround(std::clamp<double>(n, -MaxLength, MaxLength)));
}

HtmlTokenizer::HtmlTokenizer() = default;

void HtmlTokenizer::Begin(std::string_view document) {
    doc_ = document;
    pos_ = 0;
    include_.clear();
    includePos_ = 0;
    inInclude_ = readingInclude_ = false;
    lastEol_ = 0;
    SrcPos = -1;
    TagIndex = 0;
    HeadingLevel = 0;
    InComment = InScript = InPre = NoBreak = false;
    CodePage = TCodePage::Windows1252;
    CurChar = CaseChar = EofCh;
    CurTok = EofTok;
    Token.Clear();
    Attributes.Clear();
}

char HtmlTokenizer::ReadChar() {
    if (inInclude_) {
        if (includePos_ < include_.size() && include_[includePos_] != EofCh)
            return SafeByte(include_[includePos_++]);
        inInclude_ = false; // back to the document
        include_.clear();
    }
    if (pos_ >= doc_.size()) return EofCh;
    char c = doc_[pos_++];
    ++SrcPos;
    if (c == EofCh) {
        pos_ = doc_.size(); // a byte 26 ends the document
        return EofCh;
    }
    return SafeByte(c);
}

char HtmlTokenizer::PeekChar() const {
    if (inInclude_ && includePos_ < include_.size() && include_[includePos_] != EofCh)
        return SafeByte(include_[includePos_]);
    return pos_ < doc_.size() ? SafeByte(doc_[pos_]) : EofCh;
}

void HtmlTokenizer::ReadRawChar() {
    CurChar = ReadChar();
    if ((CurChar == '\n' && lastEol_ == 1) || (CurChar == '\r' && lastEol_ == 2))
        CurChar = ReadChar(); // the second byte of a CR LF or LF CR pair
    if (CurChar == '\n') {
        lastEol_ = 2;
        CurChar = '\r';
    } else if (CurChar == '\r') {
        lastEol_ = 1;
    } else {
        lastEol_ = 0;
        if (CurChar == '\t') CurChar = ' ';
    }
    CaseChar = AsciiUpper(CurChar);
    if (CurChar == EofCh && InComment) throw EParseError("Open Comment at End of HTML File");
}

void HtmlTokenizer::SkipToTagEnd() {
    while (CaseChar != '>')
        ReadRawChar(); // raises at the end: InComment is set
}

// The rest of a comment after "<!--": it ends at two or more dashes,
// optional spaces and line ends, and ">".
void HtmlTokenizer::SkipCommentBody() {
    for (;;) {
        if (CaseChar != '-') {
            ReadRawChar();
            continue;
        }
        ReadRawChar();
        if (CaseChar != '-') continue;
        while (CaseChar == '-')
            ReadRawChar();
        while (CaseChar == ' ' || CaseChar == '\r')
            ReadRawChar();
        if (CaseChar == '>') return;
    }
}

void HtmlTokenizer::ReadNextChar() {
    do {
        InComment = false;
        ReadRawChar();
        if (CaseChar != '<' || InScript || PeekChar() != '!') break;
        ReadRawChar(); // onto the "!"
        InComment = true;
        ReadRawChar();
        if (CaseChar != '-') {
            SkipToTagEnd(); // a declaration such as <!DOCTYPE ...>
            continue;
        }
        ReadRawChar();
        if (CaseChar != '-') {
            SkipToTagEnd();
            continue;
        }
        ReadRawChar();
        // Includes do not nest: one met inside an included text, or among
        // the parameters of another, is an ordinary comment.
        if (OnInclude && CaseChar == '#' && !inInclude_ && !readingInclude_)
            ReadInclude();
        else
            SkipCommentBody();
    } while (InComment);
}

void HtmlTokenizer::ReadInclude() {
    readingInclude_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{readingInclude_};
    std::string command;
    ReadRawChar();
    while (IsLetter(CaseChar)) {
        if (command.size() < MaxName) command += CurChar;
        ReadRawChar();
    }
    std::vector<std::string> params;
    std::string name, text;
    TokenKind sym;
    int number;
    while (ReadAttribute(name, sym, text, number))
        params.push_back(name + "=\"" + text + "\"");
    InComment = true;
    SkipCommentBody();
    std::string buffer;
    OnInclude(CallerObject, command, std::move(params), buffer);
    if (!buffer.empty()) {
        include_ = std::move(buffer);
        includePos_ = 0;
        inInclude_ = true;
    }
}

void HtmlTokenizer::SkipWhiteSpace() {
    while (CurChar == ' ' || CurChar == '\r' || CurChar == '\t')
        ReadNextChar();
}

void HtmlTokenizer::NextToken() {
    Token.Clear();
    if (CurChar == EofCh) {
        CurTok = EofTok;
        return;
    }
    if (ReadTag() || ReadEntity() || ReadText()) return;
    CurTok = StrayCharTok;
    Token.AddChar(CurChar, SrcPos);
    ReadNextChar();
}

void HtmlTokenizer::NextTokenReadingStyles(TStyleList& styles) {
    NextToken();
    while (CurTok == StyleTok) {
        ReadStyleBlock(styles);
        NextToken();
    }
}

void HtmlTokenizer::ReadStyleBlock(TStyleList& styles) {
    char ch = CurChar;
    ReadStyleSheet(
        styles, ch,
        [this] {
            ReadRawChar();
            return CurChar;
        },
        [this] { return PeekChar(); }, "");
    CurChar = ch;
    CaseChar = AsciiUpper(ch);
}

bool HtmlTokenizer::ReadTag() {
    if (CaseChar != '<') return false;
    TagIndex = SrcPos;
    ReadNextChar();
    bool endTag = CaseChar == '/';
    if (endTag) {
        ReadNextChar();
    } else if (!IsLetter(CaseChar)) {
        CurTok = TextTok; // a "<" that opens no tag is text
        Token.AddChar('<', TagIndex);
        return true;
    }
    std::string name;
    while (IsLetter(CaseChar)) {
        if (name.size() < MaxName) name += CaseChar;
        ReadNextChar();
    }
    CurTok = name.empty() ? CommandTok : LookupTag(name, endTag);
    SkipWhiteSpace();
    HeadingLevel = 0;
    if ((CurTok == HeadingTok || CurTok == HeadingEndTok) && CaseChar >= '1' && CaseChar <= '6') {
        HeadingLevel = static_cast<uint8_t>(CaseChar - '0');
        ReadNextChar();
    }
    Attributes.Clear();
    std::string attrName, text;
    TokenKind sym;
    int number;
    while (ReadAttribute(attrName, sym, text, number))
        if (Attributes.size() < MaxAttributes)
            Attributes.Add(std::make_unique<TAttribute>(sym, number, text));
    while (CaseChar != '>' && CurChar != EofCh)
        ReadNextChar();
    // After <STYLE ...> the ">" stays current: the style sheet reader starts there.
    if (CurTok != StyleTok && CurChar != EofCh) ReadNextChar();
    return true;
}

bool HtmlTokenizer::ReadAttribute(std::string& upperName, TokenKind& sym, std::string& text,
                                  int& number) {
    sym = UnknownAttrTok;
    SkipWhiteSpace();
    if (!IsLetter(CaseChar)) return false;
    upperName.clear();
    while (IsLetter(CaseChar) || CaseChar == '-') {
        if (upperName.size() < MaxName) upperName += CaseChar;
        ReadNextChar();
    }
    sym = LookupAttribute(upperName);
    SkipWhiteSpace();
    text.clear();
    number = sym == BorderTok ? 1 : 0; // a bare BORDER means a border of 1
    if (CaseChar == '=') {
        ReadNextChar();
        SkipWhiteSpace();
        if (CurChar == '"' || CurChar == '\'') {
            const char quote = CurChar;
            const TokenKind saved = CurTok;
            ReadNextChar();
            while (CurChar != quote && CurChar != EofCh) {
                if (CurChar == '\r') {
                    ReadNextChar(); // line breaks inside a quoted value vanish
                } else if (CurChar == '&') {
                    scratch_.Clear();
                    ReadEntity(scratch_);
                    text += scratch_.S;
                } else {
                    text += CurChar;
                    ReadNextChar();
                }
            }
            if (CurChar == quote) ReadNextChar();
            CurTok = saved;
            std::string_view n = text;
            if (!n.empty() && n.back() == '%') n.remove_suffix(1);
            number = ReadAttributeNumber(n);
        } else if (CurChar == '+' || CurChar == '-' || IsDigit(CurChar)) {
            while (CurChar != ' ' && CurChar != '\r' && CurChar != EofCh && CurChar != '%' &&
                   CurChar != '>') {
                text += CurChar;
                ReadNextChar();
            }
            SkipWhiteSpace();
            number = ReadAttributeNumber(text);
            if (CurChar == '%') {
                text += '%';
                ReadNextChar();
            }
        } else {
            while (CurChar != ' ' && CurChar != '\r' && CurChar != EofCh && CurChar != '>') {
                text += CurChar;
                ReadNextChar();
            }
        }
    }
    if (sym == IDTok && !text.empty() && OnID) OnID(text, SrcPos);
    return true;
}

bool HtmlTokenizer::ReadEntity(TPositionedText& into) {
    if (CaseChar != '&') return false;
    CurTok = TextTok;
    const int p = SrcPos;
    TPositionedText& raw = entityRaw_; // what was read, for a literal result
    raw.Clear();
    raw.AddChar('&', p);
    ReadNextChar();
    const bool decoded = CurChar == '#' ? ReadNumericEntity(into, p) : ReadNamedEntity(into, p);
    if (!decoded) into.AddString(raw);
    return true;
}

void HtmlTokenizer::TakeEntityChar() {
    entityRaw_.AddChar(CurChar, SrcPos);
    ReadNextChar();
}

bool HtmlTokenizer::TakeEntitySemicolon() {
    if (CurChar != ';') return false;
    TakeEntityChar();
    return true;
}

// "&#" and up to five decimal digits, or "&#x" and up to five hexadecimal
// ones; a sixth digit leaves the whole reference as text.
bool HtmlTokenizer::ReadNumericEntity(TPositionedText& into, int p) {
    TakeEntityChar(); // the '#'
    const int base = CaseChar == 'X' ? 16 : 10;
    if (base == 16) TakeEntityChar();
    int digits = 0;
    long n = 0;
    for (int d; digits < MaxEntityDigits + 1 && (d = DigitValue(CurChar, base)) >= 0; ++digits) {
        n = n * base + d;
        TakeEntityChar();
    }
    if (digits == 0 || digits > MaxEntityDigits) return false;
    TakeEntitySemicolon();
    if (n == 9) {
        into.AddChar(' ', p);
    } else if (n == 10) {
        into.AddChar('\n', p);
    } else if (n < 32) {
        return false; // NUL and the layout's placeholder bytes stay out of text
    } else if (n <= 255 && CodePage != TCodePage::Utf8) {
        into.AddChar(static_cast<char>(n), p); // 128 to 159 as the code page has them
    } else {
        // Pages wrote 128 to 159 meaning the characters Windows-1252 has there.
        const auto cp = static_cast<char32_t>(n);
        AddReferencedChar(into, n < 160 ? AnsiToCodePoint(static_cast<unsigned char>(n)) : cp, p);
    }
    return true;
}

void HtmlTokenizer::AddReferencedChar(TPositionedText& into, char32_t cp, int p) {
    if (CodePage != TCodePage::Utf8) {
        into.AddChar(static_cast<char>(CodePointByte(cp)), p);
        return;
    }
    std::string bytes;
    AppendUtf8(bytes, cp);
    for (const char c : bytes)
        into.AddChar(c, p);
}

bool HtmlTokenizer::ReadNamedEntity(TPositionedText& into, int p) {
    std::string name;
    while (name.size() <= MaxEntityName &&
           ((CaseChar >= 'A' && CaseChar <= 'Z') || IsDigit(CurChar))) {
        name += CurChar;
        TakeEntityChar();
    }
    if (name.empty() || name.size() > MaxEntityName) return false;
    const EntityClosed closed = TakeEntitySemicolon() ? EntityClosed::Yes : EntityClosed::No;
    const char32_t cp = EntityCodePoint(name, closed);
    if (cp == 0) return false;
    AddReferencedChar(into, cp, p);
    return true;
}

bool HtmlTokenizer::ReadText() {
    const char separator = NoBreak ? 5 : ' ';
    while (Token.S.size() < MaxTextToken) {
        const char c = CurChar;
        if ((IsStrayChar(c) || c == EofCh) || c == '&' || c == '<') break;
        if (!InPre && (c == ' ' || c == '\r')) {
            Token.AddChar(separator, SrcPos);
            SkipWhiteSpace();
        } else {
            Token.AddChar(c, SrcPos);
            ReadNextChar();
        }
    }
    if (Token.S.empty()) return false;
    CurTok = TextTok;
    return true;
}

template <class Keep>
void HtmlTokenizer::TakeWhile(Keep keep) {
    while (Token.S.size() < MaxTextToken && CurChar != EofCh && keep(CurChar)) {
        Token.AddChar(CurChar, SrcPos);
        ReadNextChar();
    }
}

bool HtmlTokenizer::ScannerLineToken() {
    Token.Clear();
    if (CurChar == EofCh) {
        CurTok = EofTok;
    } else if (CurChar == '\r') {
        CurTok = EolTok;
        ReadNextChar();
    } else {
        return false;
    }
    return true;
}

void HtmlTokenizer::NextTextAreaToken() {
    if (ScannerLineToken()) return;
    if (CurChar == '<') {
        // Bounded, and stopped by the end of input, so "<" and a long run
        // without spaces cannot grow the token without end.
        TakeWhile([](char c) { return c != ' ' && c != '\r' && c != '>'; });
        CurTok = SameText(Token.S, "</textarea") ? TextAreaEndTok : CommandTok;
    } else if (CurChar == '&') {
        ReadEntity();
    } else if (IsStrayChar(CurChar)) {
        CurTok = StrayCharTok;
        Token.AddChar(CurChar, SrcPos);
        ReadNextChar();
    } else {
        TakeWhile([](char c) { return !IsStrayChar(c) && c != '\r' && c != '&' && c != '<'; });
        CurTok = TextTok;
    }
}

void HtmlTokenizer::ReadTextArea(const std::function<void()>& onToken) {
    for (NextTextAreaToken(); CurTok != EofTok; NextTextAreaToken()) {
        if (onToken) onToken();
        if (CurTok == TextAreaEndTok) break;
    }
    while (CaseChar != '>' && CurChar != EofCh)
        ReadNextChar();
    if (CurChar != EofCh) ReadNextChar();
}

void HtmlTokenizer::NextScriptToken() {
    if (ScannerLineToken()) return;
    if (CurChar == '<') {
        Token.AddChar(CurChar, SrcPos);
        ReadNextChar();
        for (int k = 0; k < 7 && (CurChar == '/' || IsLetter(CaseChar)); ++k) {
            Token.AddChar(CurChar, SrcPos);
            ReadNextChar();
        }
        if (CurChar == '>') {
            Token.AddChar(CurChar, SrcPos);
            ReadNextChar();
        }
        CurTok = SameText(Token.S, "</script>") ? ScriptEndTok : CommandTok;
    } else {
        TakeWhile([](char c) { return c != '\r' && c != '<'; });
        CurTok = TextTok;
    }
}

namespace {
bool gParserBusy = false;
} // namespace

ParserLock::ParserLock() {
    if (gParserBusy) throw EParseError("A document is already being read");
    gParserBusy = true;
}

ParserLock::~ParserLock() {
    gParserBusy = false;
}

HtmlTokenizer& ParserLock::Parser() {
    static HtmlTokenizer parser;
    return parser;
}

} // namespace lumo
