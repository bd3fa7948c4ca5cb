// The "Proxy" dialog: the HTTP proxy host and port every new connection
// uses, and below it the SOCKS server its connections go through.
#pragma once

#include "net/socks_settings.h"

#include <QDialog>

#include <string>

class QComboBox;
class QGroupBox;
class QLineEdit;

namespace lumo {

class TProxyDialog : public QDialog {
public:
    explicit TProxyDialog(QWidget* parent = nullptr);

    void SetValues(const std::string& proxy, const std::string& port);
    std::string Proxy() const;
    std::string Port() const;
    void SetSocks(const TSocksSettings& socks);
    TSocksSettings Socks() const;

    QLineEdit* ProxyEdit;
    QLineEdit* PortEdit;
    QLineEdit* SocksServerEdit;
    QLineEdit* SocksPortEdit;
    QComboBox* SocksLevelCombo;
    QLineEdit* SocksUserEdit;
    QLineEdit* SocksPasswordEdit;

private:
    QGroupBox* CreateSocksBox();
};

} // namespace lumo
