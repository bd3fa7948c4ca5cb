// The links the main window handles itself, new windows, and the pop-up
// menu of a page.
#include "app/app_exceptions.h"
#include "app/link_actions.h"
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "layout/inline_image.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/message_window.h"
#include "platform/qt_text.h"
#include "platform/shell.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>

namespace lumo {

namespace {

// The addresses behind three Help items.
constexpr const char* VoraHomePage = "http://www.vora.example/lumo/";
constexpr const char* SearchPage = "http://frogfind.com/";
constexpr const char* HtmlReference = "http://www.w3.org/TR/REC-html32";

} // namespace

void TMainWindow::HotSpotTargetCovered(const std::string& Target, const std::string& URL) {
    std::string text;
    if (!URL.empty()) text = Target.empty() ? "URL: " + URL : "Target: " + Target + "  URL: " + URL;
    Status3->setText(ToQString(text));
}

void TMainWindow::HotSpotTargetClick(const std::string&, const std::string& URL, bool& Handled) {
    const TLinkDecision link = DecideLinkAction(URL, FrameBrowser->ClickedSource());
    switch (link.Action) {
    case TLinkAction::Browse: return;
    case TLinkAction::Blocked: break;
    case TLinkAction::Mail: TheShell().OpenAddress(URL); break;
    case TLinkAction::Download:
        DownloadURL = URL;
        messages_->Post(MsgDownload); // once the click has been handled
        break;
    case TLinkAction::Sound: TheShell().PlaySound(link.FileName); break;
    case TLinkAction::Media: TheShell().OpenAddress(link.Address); break;
    case TLinkAction::Program: {
        // The user sees the whole command before it runs.
        const MessageAnswer answer = TheMessageBoxes().Show(
            MessageKind::Question, ApplicationTitle(),
            "Start the program " + ProgramCommandText(link) + "?", MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes) TheShell().StartProgram(link.FileName, link.Parameters);
        break;
    }
    }
    Handled = true;
}

void TMainWindow::BlankWindowRequest(const std::string& URL) {
    // The frame browser has resolved it against the document it came from.
    StartNewWindow(URL);
}

void TMainWindow::StartNewWindow(const std::string& address) {
    // A new window is a new copy of the program, given the address.
    TheShell().StartProgram(FromQString(QCoreApplication::applicationFilePath()), {address});
}

void TMainWindow::RightClick(THTMLViewer* Sender, const TRightClickParameters& Parameters) {
    // Only a picture that has come can be saved.
    ImageURL.clear();
    if (const TInlineImage* image = Parameters.ClickedImage;
        image && image->State() == TPictureState::Real)
        ImageURL = FrameBrowser->ResolveLink(Sender, image->Source);
    SaveImageAs1->setEnabled(!ImageURL.empty());
    LinkURL.clear();
    if (!Parameters.LinkURL.empty())
        LinkURL = FrameBrowser->ResolveLink(Sender, Parameters.LinkURL);
    OpenInNewWindow1->setEnabled(!LinkURL.empty());
    CopyLink1->setEnabled(!LinkURL.empty());
    PopupMenu->popup(QCursor::pos());
}

void TMainWindow::OpenInNewWindowClick() {
    if (!LinkURL.empty()) StartNewWindow(LinkURL);
}

void TMainWindow::CopyLinkClick() {
    if (!LinkURL.empty()) SetClipboardText(LinkURL);
}

void TMainWindow::VoraFreeware1Click() {
    NavigateTo(VoraHomePage);
    ShowAddress(VoraHomePage);
}

void TMainWindow::SearchWeb1Click() {
    NavigateTo(SearchPage);
    ShowAddress(SearchPage);
}

void TMainWindow::HTMLHelp1Click() {
    NavigateTo(HtmlReference);
    ShowAddress(HtmlReference);
}

} // namespace lumo
