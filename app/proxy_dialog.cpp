#include "app/proxy_dialog.h"

#include "platform/qt_text.h"
#include "platform/text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace lumo {

TProxyDialog::TProxyDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ProxyForm");
    setWindowTitle("Proxy");
    ProxyEdit = new QLineEdit(this);
    ProxyEdit->setObjectName("ProxyEdit");
    ProxyEdit->setMinimumWidth(220);
    PortEdit = new QLineEdit(this);
    PortEdit->setObjectName("PortEdit");
    PortEdit->setFixedWidth(60);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Proxy", this), 0, 0);
    grid->addWidget(new QLabel("Port", this), 0, 1);
    grid->addWidget(ProxyEdit, 1, 0);
    grid->addWidget(PortEdit, 1, 1);
    grid->addWidget(CreateSocksBox(), 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// The SOCKS server in the same grid of labels over edits as the HTTP proxy.
QGroupBox* TProxyDialog::CreateSocksBox() {
    auto* box = new QGroupBox("SOCKS", this);
    box->setObjectName("SocksBox");
    const auto edit = [box](const char* name, int width) {
        auto* e = new QLineEdit(box);
        e->setObjectName(name);
        if (width > 0) e->setFixedWidth(width);
        return e;
    };
    SocksServerEdit = edit("SocksServerEdit", 0);
    SocksServerEdit->setMinimumWidth(200);
    SocksPortEdit = edit("SocksPortEdit", 60);
    SocksLevelCombo = new QComboBox(box);
    SocksLevelCombo->setObjectName("SocksLevelCombo");
    SocksLevelCombo->addItems({"5", "4A", "4"});
    SocksUserEdit = edit("SocksUserEdit", 0);
    SocksPasswordEdit = edit("SocksPasswordEdit", 0);
    SocksPasswordEdit->setEchoMode(QLineEdit::Password);

    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("Server", box), 0, 0);
    grid->addWidget(new QLabel("Port", box), 0, 1);
    grid->addWidget(new QLabel("Version", box), 0, 2);
    grid->addWidget(SocksServerEdit, 1, 0);
    grid->addWidget(SocksPortEdit, 1, 1);
    grid->addWidget(SocksLevelCombo, 1, 2);
    grid->addWidget(new QLabel("User name", box), 2, 0);
    grid->addWidget(new QLabel("Password", box), 2, 1, 1, 2);
    grid->addWidget(SocksUserEdit, 3, 0);
    grid->addWidget(SocksPasswordEdit, 3, 1, 1, 2);
    return box;
}

void TProxyDialog::SetValues(const std::string& proxy, const std::string& port) {
    ProxyEdit->setText(ToQString(proxy));
    PortEdit->setText(ToQString(port));
}

std::string TProxyDialog::Proxy() const {
    return FromQString(ProxyEdit->text());
}
std::string TProxyDialog::Port() const {
    return FromQString(PortEdit->text());
}

void TProxyDialog::SetSocks(const TSocksSettings& socks) {
    SocksServerEdit->setText(ToQString(socks.Server));
    SocksPortEdit->setText(ToQString(socks.Port));
    const int level = SocksLevelCombo->findText(ToQString(socks.Level), Qt::MatchFixedString);
    SocksLevelCombo->setCurrentIndex(level < 0 ? 0 : level);
    SocksUserEdit->setText(ToQString(socks.Usercode));
    SocksPasswordEdit->setText(ToQString(socks.Password));
}

TSocksSettings TProxyDialog::Socks() const {
    return {std::string(Trim(FromQString(SocksServerEdit->text()))),
            std::string(Trim(FromQString(SocksPortEdit->text()))),
            FromQString(SocksLevelCombo->currentText()), FromQString(SocksUserEdit->text()),
            FromQString(SocksPasswordEdit->text())};
}

} // namespace lumo
