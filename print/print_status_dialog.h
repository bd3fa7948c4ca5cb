// The small modal window that runs a print job or the rendering of the
// preview, shows which page is being made and offers "Cancel", which stops
// the job at the next page boundary.
#pragma once

#include <QDialog>

#include <exception>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace lumo {

class MessageWindow;
class TPageRecorder;
class THTMLViewer;
class TPageDevice;
class TPageSelection;

class TPrintStatusDialog : public QDialog {
public:
    explicit TPrintStatusDialog(QWidget* parent = nullptr);
    ~TPrintStatusDialog() override;

    // Records every page of viewer's document; true when the user cancelled.
    bool DoPreview(THTMLViewer& viewer, TPageRecorder& recorder);
    // Prints the pages of viewer's document; true when the user cancelled.
    // What the job raises is raised here once the window has closed.
    bool DoPrint(THTMLViewer& viewer, TPageDevice& printer, const TPageSelection& pages);

    void CancelClick();
    // After the window shows a page's number (0 while the copy is laid out).
    std::function<void(int page)> OnProgress;

    QLabel* StatusLabel = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    // Closing the window while a job runs cancels it.
    void reject() override;

private:
    bool Run(THTMLViewer& viewer, unsigned message, std::function<void(THTMLViewer&)> work);
    void Progress(int page, bool& stop);

    std::unique_ptr<MessageWindow> messages_;
    std::function<void()> work_;
    std::exception_ptr error_;
    bool cancelled_ = false;
    bool running_ = false;
};

} // namespace lumo
