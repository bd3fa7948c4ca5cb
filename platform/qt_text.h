// ANSI text to and from Qt strings, for the code that talks to widgets.
#pragma once

#include "platform/code_page.h"

#include <QString>

#include <string>
#include <string_view>

namespace lumo {

QString ToQString(std::string_view ansi);
// Text in a page's code page: the character of one byte, and of a text.
// Bytes a code page leaves undefined stand for the control or Latin-1
// character of the same value.
char16_t CodePageChar(unsigned char byte, TCodePage page);
QString DecodeText(std::string_view bytes, TCodePage page);
// Text as the bytes of a code page; false when a character has none there.
bool EncodeText(const QString& text, TCodePage page, std::string& bytes);
// What a user typed into a form control, as the bytes of the page's code
// page: a character the code page cannot hold becomes its character
// reference "&#N;", as it is sent. FormText reads such bytes back for the
// widget, taking a reference back only when its character is one the code
// page cannot hold (so what the user typed as it stands stays).
std::string EncodeFormText(const QString& text, TCodePage page);
// The code page's letter pairs, built once from its codec.
const TLetterCases& LetterCasesOf(TCodePage page);
QString FormText(std::string_view bytes, TCodePage page);

// Characters outside the code page become '?'.
std::string FromQString(const QString& text);

// A local file name (see platform/file_system.h) and the path Qt shows and
// takes for it; every file name survives the round trip.
QString ToQFileName(std::string_view name);
std::string FromQFileName(const QString& path);

} // namespace lumo
