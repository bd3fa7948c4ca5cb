// https and time travel in the window: the Security and Time travel dialogs,
// the padlock, and the pages a fetch shows when a certificate is refused or
// the archive holds no copy.
#include "address/address.h"
#include "app/failure_pages.h"
#include "app/main_window.h"
#include "net/http_connection.h"
#include "net/tls_context.h"
#include "platform/qt_text.h"
#include "platform/stream.h"
#include "platform/text.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace lumo {

namespace {

std::string CompactDate(const TCivilDate& d) {
    return std::to_string(d.Year * 10000 + d.Month * 100 + d.Day);
}

// The date (or off) and the archive, as the user sets them.
class TTimeTravelDialog : public QDialog {
public:
    explicit TTimeTravelDialog(QWidget* parent) : QDialog(parent) {
        setWindowTitle("Time travel");
        auto* form = new QFormLayout(this);
        onBox_ = new QCheckBox("Show the web as it was on", this);
        dateEdit_ = new QDateEdit(this);
        dateEdit_->setDisplayFormat("d MMMM yyyy");
        dateEdit_->setDateRange(QDate(1996, 1, 1), QDate(2099, 12, 31));
        archiveEdit_ = new QLineEdit(this);
        form->addRow(onBox_, dateEdit_);
        form->addRow("Archive:", archiveEdit_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(onBox_, &QCheckBox::toggled, dateEdit_, &QWidget::setEnabled);
    }

    void SetValues(const TTimeTravel& travel) {
        const TCivilDate date = travel.Date().value_or(TCivilDate{1999, 7, 27});
        dateEdit_->setDate(QDate(date.Year, date.Month, date.Day));
        onBox_->setChecked(travel.On());
        dateEdit_->setEnabled(travel.On());
        archiveEdit_->setText(ToQString(travel.Archive()));
    }
    std::optional<TCivilDate> Date() const {
        if (!onBox_->isChecked()) return std::nullopt;
        const QDate d = dateEdit_->date();
        return TCivilDate{d.year(), d.month(), d.day()};
    }
    std::string Archive() const { return FromQString(archiveEdit_->text()); }

private:
    QCheckBox* onBox_;
    QDateEdit* dateEdit_;
    QLineEdit* archiveEdit_;
};

} // namespace

void TMainWindow::ApplySecuritySettings() {
    TTlsContext::Shared().SetExtraTrustFile(settings_.TrustFile);
    timeTravel_.SetArchive(settings_.TimeTravelArchive);
    timeTravel_.SetDate(ParseCompactDate(settings_.TimeTravelDate));
}

void TMainWindow::TimeTravel1Click() {
    TTimeTravelDialog dialog(this);
    dialog.SetValues(timeTravel_);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::optional<TCivilDate> date = dialog.Date();
    settings_.TimeTravelDate = date ? CompactDate(*date) : std::string();
    settings_.TimeTravelArchive = dialog.Archive();
    ApplySecuritySettings();
}

void TMainWindow::Security1Click() {
    const QString file = QFileDialog::getOpenFileName(
        this, "Certificates trusted beside the system's", ToQString(settings_.TrustFile),
        "PEM certificates (*.pem *.crt);;All files (*)");
    if (file.isEmpty()) return;
    settings_.TrustFile = FromQString(file);
    ApplySecuritySettings();
}

void TMainWindow::NoteFetchSecurity(const std::string& fetched, bool wholePage,
                                    const std::string& subject) {
    const bool secure = SchemeOf(fetched) == "https";
    pageSecure_ = secure && (wholePage || pageSecure_);
    if (wholePage && secure)
        Padlock->setToolTip(ToQString(subject.empty() ? std::string("Secure page") : subject));
    Padlock->setVisible(pageSecure_);
}

bool TMainWindow::ShowFailurePage(const std::string& fetched, TContentKind& DocType) {
    auto* http = dynamic_cast<THTTPConnection*>(connection_.get());
    if (!http) return false;
    const THttpClient& client = http->Client();
    std::string page;
    if (client.RequestDoneError() == httperrTls) {
        page = TlsFailurePage(fetched, client.TlsFailure());
    } else if (const auto original = timeTravel_.OriginalOf(fetched);
               original && client.RequestDoneError() == 404) {
        page = NotArchivedPage(*original, timeTravel_.CalendarAddress(*original),
                               timeTravel_.Date() ? DateText(*timeTravel_.Date()) : "");
    } else {
        return false;
    }
    docStream_->Assign(std::move(page));
    DocType = ckHTML;
    return true;
}

} // namespace lumo
