#include "tools/unzip_window.h"

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/qt_text.h"
#include "tools/member_name.h"
#include "tools/named_controls.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace lumo {
namespace {

// The specifications as one line of the edit, quoting those with blanks.
std::string JoinSpecs(const std::vector<std::string>& specs) {
    std::string text;
    for (const std::string& pattern : specs) {
        if (!text.empty()) text += ' ';
        text += pattern.find(' ') == std::string::npos ? pattern : '"' + pattern + '"';
    }
    return text;
}

constexpr size_t MaxListedFailures = 10;

} // namespace

TUnzipWindow::TUnzipWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("LumoUnzipF");
    setWindowTitle("Zeve Revoz");
    CreateControls();
    ShowComponentValues();
    language_.InitForm(*this);
}

void TUnzipWindow::CreateControls() {
    ZipFileEdit = Named(new QLineEdit(this), "ZipFileEdit");
    ZipFileEdit->setMinimumWidth(320);
    TargetDirEdit = Named(new QLineEdit(this), "TargetDirEdit");
    SpecsEdit = Named(new QLineEdit(this), "SpecsEdit");
    ZipFileButton = Named(new QPushButton("... ", this), "ZipFileButton");
    TargetDirButton = Named(new QPushButton("...", this), "TargetDirButton");
    RecurseCheck = Named(new QCheckBox("&Recurse into folders", this), "RecurseCheck");
    ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    StatusLabel = Named(new QLabel(this), "StatusLabel");
    UnzipButton = Named(new QPushButton("&Unzip", this), "UnzipButton");
    ExitButton = Named(new QPushButton("E&xit", this), "ExitButton");
    LanguageButton = Named(new QPushButton("Language", this), "LanguageButton");
    LanguageButton->setToolTip("Select Language");
    for (QPushButton* browse : {ZipFileButton, TargetDirButton})
        browse->setFixedWidth(32);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Named(new QLabel("ZIP file name", this), "Label1"), 0, 0);
    grid->addWidget(ZipFileEdit, 0, 1);
    grid->addWidget(ZipFileButton, 0, 2);
    grid->addWidget(Named(new QLabel("Target directory  ", this), "Label2"), 1, 0);
    grid->addWidget(TargetDirEdit, 1, 1);
    grid->addWidget(TargetDirButton, 1, 2);
    grid->addWidget(Named(new QLabel("File specifications to extract  ", this), "Label3"), 2, 0);
    grid->addWidget(SpecsEdit, 2, 1, 1, 2);
    grid->addWidget(RecurseCheck, 3, 1, 1, 2);
    grid->addWidget(ProgressBar1, 4, 0, 1, 3);
    grid->addWidget(StatusLabel, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LanguageButton);
    buttons->addStretch();
    buttons->addWidget(UnzipButton);
    buttons->addWidget(ExitButton);
    grid->addLayout(buttons, 6, 0, 1, 3);

    // Each edit writes through to the component at once.
    connect(ZipFileEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { unzip_.ArchiveName = FromQString(text); });
    connect(TargetDirEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { unzip_.TargetDir = FromQString(text); });
    connect(SpecsEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { unzip_.FileSpecs = SplitSpecs(FromQString(text)); });
    connect(RecurseCheck, &QCheckBox::toggled, this,
            [this](bool checked) { unzip_.DontRecurse = !checked; });
    connect(ZipFileButton, &QPushButton::clicked, this, [this] { ZipFileButtonClick(); });
    connect(TargetDirButton, &QPushButton::clicked, this, [this] { TargetDirButtonClick(); });
    connect(UnzipButton, &QPushButton::clicked, this, [this] { UnzipButtonClick(); });
    connect(ExitButton, &QPushButton::clicked, this, [this] { ExitButtonClick(); });
    connect(LanguageButton, &QPushButton::clicked, this, [this] { LanguageButtonClick(); });
}

void TUnzipWindow::ShowComponentValues() {
    ZipFileEdit->setText(ToQString(unzip_.ArchiveName));
    TargetDirEdit->setText(ToQString(unzip_.TargetDir));
    SpecsEdit->setText(ToQString(JoinSpecs(unzip_.FileSpecs)));
    RecurseCheck->setChecked(!unzip_.DontRecurse);
}

void TUnzipWindow::UnzipButtonClick() {
    if (running_ || unzip_.ArchiveName.empty() || unzip_.TargetDir.empty()) return;
    counter_ = 0;
    currentName_.clear();
    failures_.clear();
    throttle_.Reset();
    ProgressBar1->setValue(0);
    unzip_.OnReport = [this](int64_t code, const TUnzipReport& report) { Report(code, report); };
    unzip_.OnQuestion = [this](const std::string& name) { return AskReplace(name); };
    total_ = unzip_.TotalSize();
    SetRunning(true);
    const int result = unzip_.Extract();
    SetRunning(false);
    currentName_.clear();
    ShowProgress(true);
    ShowOutcome(result);
}

void TUnzipWindow::ExitButtonClick() {
    close();
}

void TUnzipWindow::closeEvent(QCloseEvent* event) {
    if (running_) unzip_.Cancel();
    event->accept();
}

void TUnzipWindow::ZipFileButtonClick() {
    const QString name = QFileDialog::getOpenFileName(this, "Select a ZIP file",
                                                      ZipFileEdit->text(), "ZIP files (*.zip)");
    if (!name.isEmpty()) ZipFileEdit->setText(name);
}

void TUnzipWindow::TargetDirButtonClick() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, "Target directory", TargetDirEdit->text());
    if (!folder.isEmpty()) TargetDirEdit->setText(folder);
}

void TUnzipWindow::LanguageButtonClick() {
    language_.SelectLanguage(*this);
}

void TUnzipWindow::Report(int64_t code, const TUnzipReport& report) {
    switch (report.Status) {
    case TReportStatus::MemberStart:
        currentName_ = report.FileName;
        ShowProgress(false);
        break;
    case TReportStatus::BytesWritten:
        if (code >= 1) counter_ += static_cast<uint64_t>(code);
        ShowProgress(false);
        break;
    case TReportStatus::MemberDone:
        currentName_.clear();
        ShowProgress(false);
        break;
    case TReportStatus::MemberFailed:
        failures_.push_back(report.FileName + ": " + UnzipMessage(static_cast<TUnzipResult>(code)));
        currentName_.clear();
        break;
    case TReportStatus::Listed:
        ProgressBar1->setValue(0);
        StatusLabel->clear();
        break;
    }
}

void TUnzipWindow::ShowProgress(bool now) {
    if (!throttle_.Due(TickCount()) && !now) return;
    ProgressBar1->setValue(ProgressPercent(counter_, total_));
    StatusLabel->setText(ToQString(currentName_));
    ProcessMessages();
}

void TUnzipWindow::SetRunning(bool running) {
    running_ = running;
    for (QWidget* control : std::initializer_list<QWidget*>{
             ZipFileEdit, TargetDirEdit, SpecsEdit, ZipFileButton, TargetDirButton, RecurseCheck,
             UnzipButton, LanguageButton})
        control->setEnabled(!running);
}

void TUnzipWindow::ShowOutcome(int result) {
    if (static_cast<TUnzipResult>(result) == TUnzipResult::Cancelled) return;
    if (failures_.empty()) {
        if (result != 0) ShowMessage(UnzipMessage(static_cast<TUnzipResult>(result)));
        return;
    }
    std::string text = "These members were not extracted:";
    for (size_t i = 0; i < failures_.size() && i < MaxListedFailures; ++i)
        text += "\n" + failures_[i];
    if (failures_.size() > MaxListedFailures)
        text += "\n... and " + std::to_string(failures_.size() - MaxListedFailures) + " more";
    ShowMessage(text);
}

TQuestionAnswer TUnzipWindow::AskReplace(const std::string& fileName) {
    const MessageAnswer answer = TheMessageBoxes().Show(
        MessageKind::Question, ApplicationTitle(),
        fileName + " exists in the target directory.\nReplace it?", MessageButtons::YesNo);
    return answer == MessageAnswer::Yes ? TQuestionAnswer::Yes : TQuestionAnswer::No;
}

} // namespace lumo
