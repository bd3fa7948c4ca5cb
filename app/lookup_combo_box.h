// The address box: an editable combo box whose list of remembered addresses
// is kept sorted without regard to case and never holds two addresses that
// differ only in case. It completes typed text from the list: the rest of
// the matching address is selected, so the next key replaces it. Escape
// brings back the text the box had when it got the focus, and ShortCut
// (Alt+Down) opens and closes the list. Qt's own completer is not used: it
// would complete after deletions too.
#pragma once

#include <QComboBox>
#include <QKeySequence>

#include <string>
#include <vector>

namespace lumo {

class TLookUpComboBox : public QComboBox {
public:
    explicit TLookUpComboBox(QWidget* parent = nullptr);

    // Replaces the list; of addresses equal without regard to case the first is kept.
    void SetItems(std::vector<std::string> items);
    // Adds an address not yet in the list (in any case) at its place in the order.
    void AddItem(const std::string& item);
    std::vector<std::string> Items() const;

    void SetText(const std::string& text);
    std::string Text() const;

    bool Complete = true; // complete typed text
    // Opens the list; the open list closes on it too.
    static constexpr QKeyCombination ShortCut{Qt::AltModifier, Qt::Key_Down};
    static constexpr int DropListCount = 8;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The first entry not ordered before text; count() when there is none.
    int LowerBound(const std::string& text) const;
    bool KeyDown(const QKeyEvent& key);
    void TextEdited(const QString& text);
    void TogglePopup();

    std::string oldText_; // the text when the box got the focus
    bool typing_ = false; // the last key was one that types
};

} // namespace lumo
