// Reading style sheets (STYLE blocks and linked sheets) into a TStyleList,
// and STYLE attributes into one TProperties. Bad input is never an error:
// unknown names are ignored and an unterminated block or comment ends at the
// next "<" or at the end of the text.
#pragma once

#include <functional>
#include <string_view>

namespace lumo {

class TStyleList;
class TProperties;

// The end-of-file character: what the readers of documents and sheets return
// at the end of their input; a byte 26 in a document ends it too.
inline constexpr char EofCh = 26;

// Reads rules from getChar, which returns EofCh at the end; peekChar tells
// the next character without taking it. curChar is the current character on
// entry (the ">" of a STYLE tag) and, on return, the upper-cased character
// that ended the sheet: the "<" of "</STYLE>" or EofCh; nothing after it
// has been taken. A url(...) is made absolute against path when path is given.
void ReadStyleSheet(TStyleList& styles, char& curChar, const std::function<char()>& getChar,
                    const std::function<char()>& peekChar, std::string_view path);

// A whole sheet held in memory (a linked style sheet).
void ReadStyleSheetText(TStyleList& styles, std::string_view text, std::string_view path);

// The declarations of a STYLE attribute.
void ReadPropertyText(std::string_view text, TProperties& props);

} // namespace lumo
