// Language files (".lng"): INI files whose section "Translations" holds
// entries "Window.Component.Property=text". In a text "~~" stands for a line
// break. The program writes the built-in texts of its windows into the
// template "Language.lng" in the same form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TIniFile;

inline constexpr std::string_view TranslationsSection = "Translations";

struct TTranslation {
    std::string Window;    // compared exactly
    std::string Component; // compared without regard to case
    std::string Property;  // compared without regard to case
    std::string Text;      // with its line breaks as "\n"
};

// The entries of the file's Translations section in file order. A key needs
// a window, a component and a property name ("A.B.C"); keys with fewer than
// two dots or an empty part are skipped.
std::vector<TTranslation> ReadTranslations(const TIniFile& file);

// "Window.Component.Property"
std::string TranslationKey(std::string_view window, std::string_view component,
                           std::string_view property);

// Line breaks (CR LF, LF or CR) become "~~" and back ("~~" becomes "\n").
std::string EncodeLineBreaks(std::string_view text);
std::string DecodeLineBreaks(std::string_view text);

} // namespace lumo
