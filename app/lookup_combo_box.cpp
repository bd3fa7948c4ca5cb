#include "app/lookup_combo_box.h"

#include "platform/qt_text.h"
#include "platform/text.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace lumo {

namespace {

// Keys that move or delete: after them the text is left as it is.
constexpr int NonTypingKeys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,
                                 Qt::Key_Right,     Qt::Key_Up,     Qt::Key_Down};

bool IsTypingKey(int key) {
    return std::find(std::begin(NonTypingKeys), std::end(NonTypingKeys), key) ==
           std::end(NonTypingKeys);
}

} // namespace

TLookUpComboBox::TLookUpComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setFrame(false);
    setMaxVisibleItems(DropListCount);
    setInsertPolicy(QComboBox::NoInsert);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCompleter(nullptr);
    // The box has the focus and hands keys to its line edit, which sees them
    // itself only when they are sent to it directly. An open list takes the
    // keys itself and closes on Escape and on Alt+Down.
    installEventFilter(this);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TLookUpComboBox::TextEdited);
}

void TLookUpComboBox::SetItems(std::vector<std::string> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return LessText(a, b); });
    items.erase(
        std::unique(items.begin(), items.end(),
                    [](const std::string& a, const std::string& b) { return SameText(a, b); }),
        items.end());
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const auto& item : items)
        list.append(ToQString(item));
    const QString text = currentText();
    clear();
    addItems(list);
    setEditText(text);
}

int TLookUpComboBox::LowerBound(const std::string& text) const {
    int lo = 0, hi = count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (LessText(FromQString(itemText(mid)), text))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void TLookUpComboBox::AddItem(const std::string& item) {
    const int at = LowerBound(item);
    if (at < count() && SameText(FromQString(itemText(at)), item)) return;
    const QString text = currentText();
    insertItem(at, ToQString(item));
    setEditText(text);
}

std::vector<std::string> TLookUpComboBox::Items() const {
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        items.push_back(FromQString(itemText(i)));
    return items;
}

void TLookUpComboBox::SetText(const std::string& text) {
    setEditText(ToQString(text));
}

std::string TLookUpComboBox::Text() const {
    return FromQString(currentText());
}

bool TLookUpComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == this) oldText_ = Text();
    if (event->type() == QEvent::KeyPress) return KeyDown(*static_cast<QKeyEvent*>(event));
    return QComboBox::eventFilter(watched, event);
}

// Runs before the line edit takes the key, so the text change that follows
// knows whether it was typed.
bool TLookUpComboBox::KeyDown(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
        SetText(oldText_);
        lineEdit()->selectAll();
        return true;
    }
    typing_ = IsTypingKey(key.key());
    if (QKeySequence(key.keyCombination()) == QKeySequence(ShortCut)) {
        TogglePopup();
        return true;
    }
    return false;
}

void TLookUpComboBox::TogglePopup() {
    if (view()->isVisible())
        hidePopup();
    else
        showPopup();
}

void TLookUpComboBox::TextEdited(const QString& qtext) {
    // Deleting never completes again, and an empty box completes to nothing.
    if (!Complete || !typing_ || qtext.isEmpty()) return;
    const std::string text = FromQString(qtext);
    const int at = LowerBound(text);
    if (at >= count()) return;
    const QString entry = itemText(at);
    if (!StartsWithText(FromQString(entry), text)) return;
    const int typed = static_cast<int>(qtext.size());
    setCurrentIndex(at);
    SetText(FromQString(entry));
    // The caret stays after what was typed; the rest is selected so the next
    // key replaces it.
    lineEdit()->setSelection(static_cast<int>(entry.size()),
                             typed - static_cast<int>(entry.size()));
}

} // namespace lumo
