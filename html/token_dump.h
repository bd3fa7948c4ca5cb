// The token stream of a document as text, one token per line, for golden
// tests, fuzzing and benchmarks:
//
//   ATok @10 HrefTok="a.htm" WidthTok="50%"=50
//   TextTok "Hello world" @24-34
//   HeadingTok h3 @40 AlignTok="center"
//
// Tags show the offset of their "<", text the offsets of its characters as
// ranges; bytes below 32 or above 126, '"' and '\' are written as \xNN.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

class HtmlTokenizer;

std::string DumpToken(const HtmlTokenizer& t);

// Reads a whole document the way the document builder drives the tokenizer:
// the TEXTAREA and SCRIPT scanners between their tags, the style sheet reader
// after <STYLE> (one line with the number of rules read), white space kept
// inside PRE, the byte 5 separator inside NOBR. A parse error ends the dump
// with "ERROR" and its message.
std::string DumpTokens(std::string_view document);

} // namespace lumo
