#include "app/proxy_form.h"

#include "platform/qt_text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace lumo {

TProxyForm::TProxyForm(QWidget* parent) : QDialog(parent) {
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
    grid->addWidget(buttons, 2, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TProxyForm::SetValues(const std::string& proxy, const std::string& port) {
    ProxyEdit->setText(ToQString(proxy));
    PortEdit->setText(ToQString(port));
}

std::string TProxyForm::Proxy() const {
    return FromQString(ProxyEdit->text());
}
std::string TProxyForm::Port() const {
    return FromQString(PortEdit->text());
}

} // namespace lumo
