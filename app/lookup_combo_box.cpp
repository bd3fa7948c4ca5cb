#include "app/lookup_combo_box.h"

#include "platform/qt_text.h"
#include "platform/text.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

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

// Room below the look-up list's last row.
constexpr int DropListSlack = 5;

} // namespace

TLookUpComboBox::TLookUpComboBox(QWidget* parent) : TFlatComboBox(parent) {
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

TLookUpComboBox::~TLookUpComboBox() = default;

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
    CloseDropList();
    clear();
    addItems(list);
    setEditText(text);
    lastMatch_ = -1;
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
    // The last match keeps naming the same address.
    if (at <= lastMatch_) ++lastMatch_;
}

std::vector<std::string> TLookUpComboBox::Items() const {
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        items.push_back(FromQString(itemText(i)));
    return items;
}

void TLookUpComboBox::SetText(const std::string& text) {
    CloseDropList();
    setEditText(ToQString(text));
}

std::string TLookUpComboBox::Text() const {
    return FromQString(currentText());
}

std::vector<std::string> TLookUpComboBox::LookUpItems() const {
    std::vector<std::string> items;
    if (!DropListShown()) return items;
    for (int i = 0; i < dropList_->count(); ++i)
        items.push_back(FromQString(dropList_->item(i)->text()));
    return items;
}

bool TLookUpComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::FocusIn) {
        oldText_ = Text();
        typedText_.clear();
    }
    if (watched == this && event->type() == QEvent::FocusOut) FocusOut();
    if (event->type() == QEvent::KeyPress) return KeyDown(*static_cast<QKeyEvent*>(event));
    return TFlatComboBox::eventFilter(watched, event);
}

void TLookUpComboBox::hideEvent(QHideEvent* event) {
    CloseDropList();
    TFlatComboBox::hideEvent(event);
}

// Runs before the line edit takes the key, so the text change that follows
// knows whether it was typed.
bool TLookUpComboBox::KeyDown(const QKeyEvent& key) {
    if (DropListShown() && DropListKeyDown(key)) return true;
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

// The keys the shown look-up list takes from the box; true when swallowed.
bool TLookUpComboBox::DropListKeyDown(const QKeyEvent& key) {
    if (key.modifiers() != Qt::NoModifier && key.modifiers() != Qt::KeypadModifier) return false;
    switch (key.key()) {
    case Qt::Key_Down: MoveDropListRow(1); return true;
    case Qt::Key_Up: MoveDropListRow(-1); return true;
    case Qt::Key_Escape:
        // Back to the text as typed; a second Escape restores the old text.
        SetText(typedText_);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The entry walked to is already in the text; Enter goes on to the
        // box's owner.
        CloseDropList();
        return false;
    default: return false;
    }
}

void TLookUpComboBox::MoveDropListRow(int step) {
    const int last = dropList_->count() - 1;
    const int row = std::clamp(dropList_->currentRow() + step, 0, last);
    dropList_->setCurrentRow(row);
    setEditText(dropList_->item(row)->text());
    lineEdit()->end(false);
}

void TLookUpComboBox::TogglePopup() {
    if (view()->isVisible())
        hidePopup();
    else
        showPopup();
}

void TLookUpComboBox::showPopup() {
    CloseDropList();
    TFlatComboBox::showPopup();
}

void TLookUpComboBox::TextEdited(const QString& qtext) {
    // Deleting never completes again; with the look-up list shown it still
    // follows what is left.
    if (!typing_ && !AutoDropList) return;
    if (!Complete) return;
    typedText_ = FromQString(qtext);
    // An empty box completes to nothing.
    if (qtext.isEmpty()) {
        CloseDropList();
        return;
    }
    const int at = LowerBound(typedText_);
    const bool matched = at < count() && StartsWithText(FromQString(itemText(at)), typedText_);
    if (matched) {
        lastMatch_ = at;
        if (typing_) CompleteFrom(at, itemText(at), static_cast<int>(qtext.size()));
    }
    if (!AutoDropList) return;
    if (matched)
        ShowDropList(at);
    else
        CloseDropList();
}

void TLookUpComboBox::CompleteFrom(int at, const QString& entry, int typed) {
    setCurrentIndex(at);
    setEditText(entry);
    // The caret stays after what was typed; the rest is selected so the next
    // key replaces it.
    lineEdit()->setSelection(static_cast<int>(entry.size()),
                             typed - static_cast<int>(entry.size()));
}

void TLookUpComboBox::FocusOut() {
    CloseDropList();
    if (!AlwaysComplete || !Complete || count() == 0) return;
    // An entry typed out exactly stays; anything else becomes the last match.
    const std::string text = Text();
    int at = LowerBound(text);
    if (at >= count() || FromQString(itemText(at)) != text)
        at = std::clamp(lastMatch_, 0, count() - 1);
    setCurrentIndex(at);
    setEditText(itemText(at));
}

void TLookUpComboBox::ShowDropList(int firstMatch) {
    std::vector<std::string> items;
    for (int i = firstMatch; i < count() && static_cast<int>(items.size()) < DropListCount; ++i) {
        std::string entry = FromQString(itemText(i));
        if (!StartsWithText(entry, typedText_)) break;
        items.push_back(std::move(entry));
    }
    if (OnGetLookUpItems) OnGetLookUpItems(*this, items);
    if (items.empty()) {
        CloseDropList();
        return;
    }
    if (!dropList_) {
        // A window of its own so it may hang below the box's parent, and one
        // that never takes the focus from the box.
        dropList_ = new QListWidget(this);
        dropList_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint |
                                  Qt::WindowDoesNotAcceptFocus);
        dropList_->setAttribute(Qt::WA_ShowWithoutActivating);
        dropList_->setFocusPolicy(Qt::NoFocus);
        dropList_->setFrameShape(QFrame::NoFrame);
        dropList_->setMouseTracking(true);
        connect(dropList_, &QListWidget::itemEntered, dropList_,
                [list = dropList_](QListWidgetItem* item) { list->setCurrentItem(item); });
        connect(dropList_, &QListWidget::itemClicked, this, &TLookUpComboBox::DropListClicked);
    }
    dropList_->clear();
    for (const auto& entry : items)
        dropList_->addItem(ToQString(entry));
    const int rows = std::min(static_cast<int>(items.size()), DropListCount);
    dropList_->setGeometry(
        QRect(mapToGlobal(QPoint(0, height())),
              QSize(width() - ButtonWidth(), rows * dropList_->sizeHintForRow(0) + DropListSlack)));
    dropList_->show();
}

void TLookUpComboBox::CloseDropList() {
    if (dropList_) dropList_->hide();
}

bool TLookUpComboBox::DropListShown() const {
    return dropList_ && dropList_->isVisible();
}

void TLookUpComboBox::DropListClicked(QListWidgetItem* item) {
    const QString entry = item->text();
    // The list is only hidden: the click is still being delivered to it.
    CloseDropList();
    if (!entry.isEmpty()) setEditText(entry);
    setFocus();
    lineEdit()->selectAll();
}

} // namespace lumo
