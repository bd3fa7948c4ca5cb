// Translation of a window's texts from a language file the user picks, and
// the template "Language.lng" of the built-in texts for translators.
//
// A window's components are its named objects (menus, menu items, buttons,
// labels...) down to, and not into, the other windows it holds. Two of their
// texts are translated: "Caption" (the text of a menu item, button or label,
// the title of a menu or group box) and "Hint" (the tool tip). Nothing else
// can be set from a language file: edits, which hold what the user typed or
// chose, and every other property are out of its reach. Component and
// property names compare without regard to case, window names exactly.
#pragma once

#include <string>

class QWidget;

namespace lumo {

class TWindowTranslator {
public:
    // From the window's creation: writes its built-in texts into the
    // template, then applies the file last chosen for it, if that exists.
    void InitForm(QWidget& window);
    // Asks for a language file and applies it (the "Language" buttons).
    void SelectLanguage(QWidget& window);
    // Remembers the file for the window and applies it.
    void ChooseLanguage(QWidget& window, const std::string& file);

    // The language file of the window: the template until one is chosen.
    const std::string& CurrentFile() const { return currentFile_; }

    static void ApplyLanguage(QWidget& window, const std::string& file);
    // False when the file could not be written.
    static bool ExportStrings(QWidget& window, const std::string& file);

    // The template in the program folder.
    static std::string TemplateFile();

private:
    std::string currentFile_;
};

} // namespace lumo
