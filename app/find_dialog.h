// The find dialog of the Edit menu: the text to find, a match-case box and a
// "Find Next" button that asks the owner to search; it stays open between
// searches.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;

namespace lumo {

class TFindDialog : public QDialog {
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    // What the user typed.
    QString FindText() const;
    void SetFindText(const std::string& text);
    bool MatchCase() const;
    void SetMatchCase(bool match);

    // "Find Next" with a text to find.
    std::function<void()> OnFind;

private:
    QLineEdit* text_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
};

} // namespace lumo
