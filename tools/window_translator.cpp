#include "tools/window_translator.h"

#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "platform/qt_text.h"
#include "platform/text.h"
#include "tools/language_file.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

#include <map>
#include <optional>
#include <vector>

namespace lumo {
namespace {

constexpr std::string_view LanguageSection = "Language";

enum class TTextProperty { Caption, Hint };

struct TPropertyName {
    const char* Name;
    TTextProperty Property;
};
constexpr TPropertyName PropertyNames[] = {{"Caption", TTextProperty::Caption},
                                           {"Hint", TTextProperty::Hint}};

std::optional<TTextProperty> PropertyNamed(std::string_view name) {
    for (const TPropertyName& p : PropertyNames)
        if (SameText(name, p.Name)) return p.Property;
    return std::nullopt;
}

// A menu item's tool tip unless Qt made it from the item's text.
QString OwnToolTip(const QAction& action) {
    QAction plain;
    plain.setText(action.text());
    plain.setIconText(action.iconText());
    return action.toolTip() == plain.toolTip() ? QString() : action.toolTip();
}

std::optional<QString> ReadText(QObject& object, TTextProperty property) {
    if (property == TTextProperty::Hint) {
        if (auto* action = qobject_cast<QAction*>(&object)) return OwnToolTip(*action);
        if (auto* widget = qobject_cast<QWidget*>(&object)) return widget->toolTip();
        return std::nullopt;
    }
    if (auto* action = qobject_cast<QAction*>(&object)) return action->text();
    if (auto* menu = qobject_cast<QMenu*>(&object)) return menu->title();
    if (auto* button = qobject_cast<QAbstractButton*>(&object)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(&object)) return label->text();
    if (auto* box = qobject_cast<QGroupBox*>(&object)) return box->title();
    return std::nullopt;
}

void WriteText(QObject& object, TTextProperty property, const QString& text) {
    if (property == TTextProperty::Hint) {
        if (auto* action = qobject_cast<QAction*>(&object))
            action->setToolTip(text);
        else if (auto* widget = qobject_cast<QWidget*>(&object))
            widget->setToolTip(text);
        return;
    }
    if (auto* action = qobject_cast<QAction*>(&object))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(&object))
        menu->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&object))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(&object)) {
        label->setTextFormat(Qt::PlainText); // a language file shows no pictures or links
        label->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(&object))
        box->setTitle(text);
}

bool IsOtherWindow(QObject& object) {
    auto* widget = qobject_cast<QWidget*>(&object);
    return widget && widget->isWindow() && !qobject_cast<QMenu*>(widget);
}

// The window's named objects in creation order, depth first; Qt's own
// objects ("qt_...") and other windows with all they hold are left out.
void CollectComponents(QObject& parent, std::vector<QObject*>& components) {
    for (QObject* child : parent.children()) {
        if (IsOtherWindow(*child)) continue;
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) components.push_back(child);
        CollectComponents(*child, components);
    }
}

std::vector<QObject*> Components(QWidget& window) {
    std::vector<QObject*> components;
    CollectComponents(window, components);
    return components;
}

} // namespace

std::string TWindowTranslator::TemplateFile() {
    return ProgramFolder() + "Language.lng";
}

void TWindowTranslator::InitForm(QWidget& window) {
    currentFile_ = TemplateFile();
    // The template is a help for translators; start-up goes on without it.
    ExportStrings(window, currentFile_);
    // The choice is written when the user makes it; writing it back here
    // would only touch the settings file on every start.
    const TIniFile settings(SettingsFilePath());
    currentFile_ =
        settings.ReadString(LanguageSection, FromQString(window.objectName()), currentFile_);
    // The template holds the built-in texts the window already shows, less
    // the blanks at their ends that a settings file cannot keep.
    if (currentFile_ != TemplateFile() && FileExists(currentFile_))
        ApplyLanguage(window, currentFile_);
}

void TWindowTranslator::SelectLanguage(QWidget& window) {
    const QString file = QFileDialog::getOpenFileName(
        &window, "Language", ToQFileName(LanguageFilesFolder()), "Language Files (*.lng)");
    if (!file.isEmpty()) ChooseLanguage(window, FromQFileName(file));
}

void TWindowTranslator::ChooseLanguage(QWidget& window, const std::string& file) {
    currentFile_ = file;
    TIniFile settings(SettingsFilePath());
    settings.WriteString(LanguageSection, FromQString(window.objectName()), file);
    ApplyLanguage(window, file);
}

void TWindowTranslator::ApplyLanguage(QWidget& window, const std::string& file) {
    const std::string windowName = FromQString(window.objectName());
    std::map<std::string, QObject*> byName; // lower-case name -> the first of that name
    for (QObject* component : Components(window))
        byName.emplace(LowerCase(FromQString(component->objectName())), component);
    for (const TTranslation& t : ReadTranslations(TIniFile(file))) {
        if (t.Window != windowName) continue;
        const auto component = byName.find(LowerCase(t.Component));
        const std::optional<TTextProperty> property = PropertyNamed(t.Property);
        if (component == byName.end() || !property) continue;
        WriteText(*component->second, *property, ToQString(t.Text));
    }
}

bool TWindowTranslator::ExportStrings(QWidget& window, const std::string& file) {
    const std::string windowName = FromQString(window.objectName());
    TIniFile ini(file);
    ini.BeginUpdate();
    for (QObject* component : Components(window)) {
        const std::string componentName = FromQString(component->objectName());
        for (const TPropertyName& p : PropertyNames) {
            const std::optional<QString> text = ReadText(*component, p.Property);
            if (!text || text->isEmpty()) continue;
            if (p.Property == TTextProperty::Caption && *text == "-") continue; // a separator
            ini.WriteString(TranslationsSection, TranslationKey(windowName, componentName, p.Name),
                            EncodeLineBreaks(FromQString(*text)));
        }
    }
    return ini.EndUpdate();
}

} // namespace lumo
