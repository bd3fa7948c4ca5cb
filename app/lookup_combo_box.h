// The address box: an editable combo box whose list of remembered addresses
// is kept sorted without regard to case.
#pragma once

#include <QComboBox>

#include <string>
#include <vector>

namespace lumo {

class TLookUpComboBox : public QComboBox {
public:
    explicit TLookUpComboBox(QWidget* parent = nullptr);

    void SetItems(std::vector<std::string> items);
    // Adds an address not yet in the list at its place in the order.
    void AddItem(const std::string& item);
    std::vector<std::string> Items() const;

    void SetText(const std::string& text);
    std::string Text() const;
};

} // namespace lumo
