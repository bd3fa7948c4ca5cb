#include "tools/language_file.h"

#include "platform/ini_file.h"
#include "platform/text.h"

namespace lumo {

std::vector<TTranslation> ReadTranslations(const TIniFile& file) {
    std::vector<TTranslation> translations;
    for (auto& [key, text] : file.ReadSectionValues(TranslationsSection)) {
        const size_t first = key.find('.');
        const size_t second = first == std::string::npos ? first : key.find('.', first + 1);
        if (second == std::string::npos) continue;
        TTranslation t{key.substr(0, first), key.substr(first + 1, second - first - 1),
                       key.substr(second + 1), DecodeLineBreaks(text)};
        if (t.Window.empty() || t.Component.empty() || t.Property.empty()) continue;
        translations.push_back(std::move(t));
    }
    return translations;
}

std::string TranslationKey(std::string_view window, std::string_view component,
                           std::string_view property) {
    std::string key(window);
    key += '.';
    key += component;
    key += '.';
    key += property;
    return key;
}

std::string EncodeLineBreaks(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n')
            out += "~~";
        else
            out += text[i];
    }
    return out;
}

std::string DecodeLineBreaks(std::string_view text) {
    return ReplaceAll(text, "~~", "\n");
}

} // namespace lumo
