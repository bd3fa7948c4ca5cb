#include "app/lookup_combo_box.h"

#include "platform/qt_text.h"
#include "platform/text.h"

#include <QLineEdit>

#include <algorithm>

namespace lumo {

TLookUpComboBox::TLookUpComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setFrame(false);
    setMaxVisibleItems(8);
    setInsertPolicy(QComboBox::NoInsert);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TLookUpComboBox::SetItems(std::vector<std::string> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return LessText(a, b); });
    const QString text = currentText();
    clear();
    for (const auto& item : items)
        addItem(ToQString(item));
    setEditText(text);
}

void TLookUpComboBox::AddItem(const std::string& item) {
    // The first item ordered after the new one; items equal to it without
    // regard to case stand just before (as a stable sort would keep them).
    int lo = 0, hi = count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (LessText(item, FromQString(itemText(mid))))
            hi = mid;
        else
            lo = mid + 1;
    }
    for (int i = lo - 1; i >= 0; --i) {
        const std::string existing = FromQString(itemText(i));
        if (existing == item) return;
        if (LessText(existing, item)) break;
    }
    const QString text = currentText();
    insertItem(lo, ToQString(item));
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

} // namespace lumo
