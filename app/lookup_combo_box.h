// The address box: an editable combo box whose list of remembered addresses
// is kept sorted without regard to case and never holds two addresses that
// differ only in case. It completes typed text from the list: the rest of
// the matching address is selected, so the next key replaces it. Escape
// brings back the text the box had when it got the focus, and ShortCut
// (Alt+Down) opens and closes the list. Qt's own completer is not used: it
// would complete after deletions too.
//
// With AutoDropList a separate look-up list of the matching addresses drops
// down under the box while the user types; the keyboard stays in the box,
// whose arrows walk the look-up list, Enter takes its entry and Escape
// closes it.
#pragma once

#include "app/flat_combo_box.h"

#include <QKeySequence>

#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

namespace lumo {

class TLookUpComboBox : public TFlatComboBox {
public:
    explicit TLookUpComboBox(QWidget* parent = nullptr);
    ~TLookUpComboBox() override;

    // Replaces the list; of addresses equal without regard to case the first is kept.
    void SetItems(std::vector<std::string> items);
    // Adds an address not yet in the list (in any case) at its place in the order.
    void AddItem(const std::string& item);
    std::vector<std::string> Items() const;

    // Setting the text closes the look-up list.
    void SetText(const std::string& text);
    std::string Text() const;

    // The look-up list's entries while it is shown (empty when it is not).
    std::vector<std::string> LookUpItems() const;
    QListWidget* DropList() const { return dropList_; }

    bool Complete = true;        // complete typed text
    bool AutoDropList = false;   // show the look-up list while typing
    bool AlwaysComplete = false; // on leaving the box, take the last matched entry
    // Lets the owner change the look-up list's entries before it is shown.
    std::function<void(TLookUpComboBox&, std::vector<std::string>&)> OnGetLookUpItems;
    // Opens the list; the open list closes on it too.
    static constexpr QKeyCombination ShortCut{Qt::AltModifier, Qt::Key_Down};
    // Rows of both lists; the look-up list is also filled with at most this
    // many matches, so a short prefix over a long list stays cheap.
    static constexpr int DropListCount = 8;

    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The first entry not ordered before text; count() when there is none.
    int LowerBound(const std::string& text) const;
    bool KeyDown(const QKeyEvent& key);
    bool DropListKeyDown(const QKeyEvent& key);
    void TextEdited(const QString& text);
    void CompleteFrom(int at, const QString& entry, int typed);
    void TogglePopup();
    void FocusOut();

    void ShowDropList(int firstMatch);
    void CloseDropList();
    bool DropListShown() const;
    void MoveDropListRow(int step);
    void DropListClicked(QListWidgetItem* item);

    std::string oldText_;             // the text when the box got the focus
    std::string typedText_;           // the text as typed, before completion
    bool typing_ = false;             // the last key was one that types
    int lastMatch_ = -1;              // the entry last completed to
    QListWidget* dropList_ = nullptr; // owned as a child window
};

} // namespace lumo
