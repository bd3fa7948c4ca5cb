// The "Proxy" dialog: the HTTP proxy host and port every new connection uses.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace lumo {

class TProxyForm : public QDialog {
public:
    explicit TProxyForm(QWidget* parent = nullptr);

    void SetValues(const std::string& proxy, const std::string& port);
    std::string Proxy() const;
    std::string Port() const;

    QLineEdit* ProxyEdit;
    QLineEdit* PortEdit;
};

} // namespace lumo
