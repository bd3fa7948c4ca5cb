// The unzip window: an archive, a target folder and the members to extract,
// with a progress bar and the name of the member being written.
#pragma once

#include "tools/unzip_progress.h"
#include "tools/unzipper.h"
#include "tools/window_translator.h"

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace lumo {

class TUnzipWindow : public QWidget {
public:
    explicit TUnzipWindow(QWidget* parent = nullptr);

    TUnzipper& Unzipper() { return unzip_; }
    bool Running() const { return running_; }

    // Controls' handlers.
    void UnzipButtonClick();
    void ExitButtonClick();
    void ZipFileButtonClick();
    void TargetDirButtonClick();
    void LanguageButtonClick();

    // The component's report callback while an extraction runs.
    void Report(int64_t code, const TUnzipReport& report);

    // Controls, named as the language files name them.
    QLineEdit* ZipFileEdit = nullptr;
    QLineEdit* TargetDirEdit = nullptr;
    QLineEdit* SpecsEdit = nullptr;
    QPushButton* ZipFileButton = nullptr;
    QPushButton* TargetDirButton = nullptr;
    QCheckBox* RecurseCheck = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatusLabel = nullptr;
    QPushButton* UnzipButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* LanguageButton = nullptr;

    TWindowTranslator& Language() { return language_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void ShowComponentValues();
    // While an extraction runs, only Exit stays enabled: the events processed
    // during a report must not start a second extraction or change this one.
    void SetRunning(bool running);
    // Shows the progress and the current member, at most about 30 times a second.
    void ShowProgress(bool now);
    void ShowOutcome(int result);
    TQuestionAnswer AskReplace(const std::string& fileName);

    TUnzipper unzip_;
    bool running_ = false;
    uint64_t counter_ = 0; // bytes written in this extraction
    uint64_t total_ = 0;
    std::string currentName_;
    std::vector<std::string> failures_;
    TUpdateThrottle throttle_;
    TWindowTranslator language_;
};

} // namespace lumo
