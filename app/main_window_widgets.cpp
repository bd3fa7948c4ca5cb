// The main window's menus, toolbar, address row and status bar.
#include "app/image_queue.h"
#include "app/main_window.h"

#include "app/find_dialog.h"
#include "app/lookup_combo_box.h"
#include "app/toolbar_glyphs.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace lumo {

namespace {

// A menu item whose command has not been built yet stays visible but disabled.
QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setEnabled(false);
    return action;
}

template <class Handler>
QAction* AddCommand(QMenu* menu, const char* name, const char* caption, TMainWindow* form,
                    Handler handler, const QKeySequence& shortcut = {}) {
    QAction* action = AddItem(menu, name, caption, shortcut);
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, form, [form, handler] { (form->*handler)(); });
    return action;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

// Hands the keys pressed in a widget to a handler, which says whether it took them.
class TKeyFilter : public QObject {
public:
    TKeyFilter(QObject* parent, std::function<bool(int key)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        return handler_(static_cast<QKeyEvent*>(event)->key());
    }

private:
    std::function<bool(int key)> handler_;
};

QLabel* AddPanel(QStatusBar* bar, const char* name, int width, int stretch) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (width > 0) panel->setFixedWidth(width);
    bar->addWidget(panel, stretch);
    return panel;
}

} // namespace

void TMainWindow::CreateMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = AddMenu(bar, "File1", "&File");
    connect(file, &QMenu::aboutToShow, this, [this] { File1Click(); });
    AddCommand(file, "Openfile1", "&Open local file", this, &TMainWindow::Openfile1Click,
               Qt::Key_F3);
    CloseArchive1 =
        AddCommand(file, "CloseArchive1", "Close &Archive", this, &TMainWindow::CloseArchive);
    CloseArchive1->setEnabled(false); // until an archive is open
    PrintPreview =
        AddCommand(file, "PrintPreview", "Print Pre&view", this, &TMainWindow::PrintPreviewClick);
    PrintPreview->setEnabled(false); // until the menu opens with a page to print
    Print1 = AddCommand(file, "Print1", "&Print", this, &TMainWindow::Print1Click);
    file->addSeparator();
    AddCommand(file, "Exit1", "E&xit", this, &TMainWindow::Exit1Click);

    // The Edit items show whether they have something to act on while the
    // menu is open; their keys always reach the commands, which check again.
    QMenu* edit = AddMenu(bar, "Edit1", "&Edit");
    Find1 = AddCommand(edit, "Find1", "&Find", this, &TMainWindow::Find1Click,
                       QKeySequence(Qt::CTRL | Qt::Key_F));
    Copy1 = AddCommand(edit, "Copy1", "&Copy", this, &TMainWindow::Copy1Click,
                       QKeySequence(Qt::CTRL | Qt::Key_C));
    SelectAll1 = AddCommand(edit, "SelectAll1", "&Select all", this, &TMainWindow::SelectAll1Click);
    connect(edit, &QMenu::aboutToShow, this, [this] { Edit1Click(); });
    connect(edit, &QMenu::aboutToHide, this, [this] {
        for (QAction* item : {Find1, Copy1, SelectAll1})
            item->setEnabled(true);
    });

    AddMenu(bar, "Bookmarks1", "&Bookmarks");

    History1 = AddMenu(bar, "History1", "&History");
    History1->menuAction()->setVisible(false);
    for (int i = 0; i < 15; ++i) {
        QAction* entry = AddItem(History1, "", "");
        entry->setObjectName(QStringLiteral("HistoryItem%1").arg(i));
        entry->setData(i);
        entry->setVisible(false);
        entry->setEnabled(true);
        connect(entry, &QAction::triggered, this, [this, i] { HistoryItemClick(i); });
        HistoryItems.push_back(entry);
    }

    QMenu* options = AddMenu(bar, "Options1", "&Options");
    AddCommand(options, "Proxy1", "&Proxy...", this, &TMainWindow::Proxy1Click);
    AddCommand(options, "Security1", "Se&curity...", this, &TMainWindow::Security1Click);
    AddCommand(options, "TimeTravel1", "&Time travel...", this, &TMainWindow::TimeTravel1Click);
    AddCommand(options, "DeleteCache", "&Delete Cache", this, &TMainWindow::DeleteCacheClick);
    QAction* showImages = AddItem(options, "ShowImages", "&Show images");
    showImages->setCheckable(true);
    showImages->setChecked(true);
    AddItem(options, "Fontandcolor1", "Font and color...");
    AddCommand(options, "Printsetttings1", "Print setttings...", this,
               &TMainWindow::Printsetttings1Click);
    RetainCache1 =
        AddCommand(options, "RetainCache1", "Retain Cache", this, &TMainWindow::RetainCache1Click);
    RetainCache1->setCheckable(true);
    RetainCache1->setChecked(true);
    // Off: nothing goes to the network while an archive is open.
    LiveWeb1 = AddItem(options, "LiveWeb1", "Fetch what the archive lacks from the live web");
    LiveWeb1->setCheckable(true);
    LiveWeb1->setEnabled(true);

    QMenu* tools = AddMenu(bar, "Tools1", "&Tools");
    AddCommand(tools, "Unzip1", "&Unzip...", this, &TMainWindow::Unzip1Click);
    AddItem(tools, "ManageBookmarks1", "Manage &Bookmarks...", Qt::Key_F4);

    QMenu* help = AddMenu(bar, "Help1", "&Help");
    AddCommand(help, "Contents1", "&Contents", this, &TMainWindow::Contents1Click, Qt::Key_F1);
    AddCommand(help, "About1", "About", this, &TMainWindow::About1Click);
    AddItem(help, "Language1", "Language...");
    help->addSeparator();
    AddCommand(help, "SupportedTags1", "Supported &Tags", this, &TMainWindow::SupportedTags1Click);
    AddCommand(help, "VoraFreeware1", "&Vora Freeware", this, &TMainWindow::VoraFreeware1Click);
    AddCommand(help, "SearchWeb1", "&Search the Web", this, &TMainWindow::SearchWeb1Click);
    AddCommand(help, "HTMLHelp1", "&HTML Help", this, &TMainWindow::HTMLHelp1Click);
}

void TMainWindow::CreateToolbar() {
    QToolBar* toolbar = addToolBar("Toolbar");
    toolbar->setObjectName("ToolBar1");
    toolbar->setMovable(false);
    toolbar->setFixedHeight(28);
    toolbar->setIconSize(QSize(16, 16));
    struct Button {
        const char* name;
        const char* hint;
        Glyph glyph;
    };
    static constexpr Button Buttons[] = {
        {"BackButton", "Back", Glyph::Back},
        {"FwdButton", "Forward", Glyph::Forward},
        {"ReloadButton", "Refresh", Glyph::Refresh},
        {"StopButton", "Stop", Glyph::Stop},
        {"BookmarkButton", "Bookmark", Glyph::Bookmark},
        {"BookmarkFrameButton", "Bookmark Frame", Glyph::BookmarkFrame},
        {"SpeedButton1", "Search the Web", Glyph::Search},
    };
    for (const Button& b : Buttons) {
        auto* button = new QToolButton(toolbar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setIcon(ToolbarGlyph(b.glyph));
        button->setAutoRaise(true);
        button->setFixedSize(23, 22);
        button->setEnabled(false);
        if (b.glyph == Glyph::Back) BackButton = button;
        if (b.glyph == Glyph::Forward) FwdButton = button;
        if (b.glyph == Glyph::Refresh) ReloadButton = button;
        if (b.glyph == Glyph::Stop) StopButton = button;
        if (b.glyph == Glyph::Search) SearchButton = button;
        toolbar->addWidget(button);
    }
    // FIXME: the two bookmark buttons work once bookmarks exist.
    ReloadButton->setEnabled(true);
    SearchButton->setEnabled(true);
    connect(BackButton, &QToolButton::clicked, this, [this] { BackButtonClick(); });
    connect(FwdButton, &QToolButton::clicked, this, [this] { FwdButtonClick(); });
    connect(ReloadButton, &QToolButton::clicked, this, [this] { ReloadClick(); });
    connect(StopButton, &QToolButton::clicked, this, [this] { CancelButtonClick(); });
    connect(SearchButton, &QToolButton::clicked, this, [this] { SearchWeb1Click(); });
}

void TMainWindow::CreatePageArea() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* addressRow = new QWidget(central);
    addressRow->setObjectName("Panel1");
    addressRow->setFixedHeight(26);
    auto* row = new QHBoxLayout(addressRow);
    row->setContentsMargins(4, 2, 2, 2);
    auto* label = new QLabel("&Adress", addressRow);
    label->setObjectName("Label1");
    UrlCombobox = new TLookUpComboBox(addressRow);
    UrlCombobox->setObjectName("UrlCombobox");
    UrlCombobox->SetFlat(true);
    UrlCombobox->SetSlimButton(true);
    label->setBuddy(UrlCombobox);
    row->addWidget(label);
    row->addWidget(UrlCombobox, 1);
    column->addWidget(addressRow);

    FrameBrowser = new TFrameBrowser(central);
    FrameBrowser->SetFvOptions(fvMetaRefresh | fvOverLinksActive | fvNoLinkUnderline);
    column->addWidget(FrameBrowser, 1);
    // Enter is taken before the line edit sees it, so nothing of the edit's
    // own handling runs on a text the load has meanwhile replaced. The box
    // has the focus and hands keys to the edit past the edit's filters, so
    // both are watched.
    auto* enterFilter = new TKeyFilter(UrlCombobox, [this](int key) {
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (const std::string text = UrlCombobox->Text(); !text.empty()) {
            UrlCombobox->AddItem(text);
            GetButtonClick();
        }
        return true;
    });
    UrlCombobox->installEventFilter(enterFilter);
    UrlCombobox->lineEdit()->installEventFilter(enterFilter);
    connect(UrlCombobox, &QComboBox::activated, this, [this] {
        if (!UrlCombobox->Text().empty()) GetButtonClick();
    });
    FindDialog = new TFindDialog(this);
    FindDialog->OnFind = [this] { FindDialogFind(); };
    setCentralWidget(central);
}

void TMainWindow::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setFixedHeight(30);
    bar->setSizeGripEnabled(false);
    Status1 = AddPanel(bar, "Status1", 266, 0);
    Status2 = AddPanel(bar, "Status2", 176, 0);
    // The progress gauge: a grey bar without text in the upper 13 pixels of
    // the second panel, and the busy indicator below it; both only while busy.
    ProgressBar = new QProgressBar(Status2);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(2, 2, 172, 13);
    ProgressBar->hide();
    BusyGauge = new QProgressBar(Status2);
    BusyGauge->setObjectName("BusyGauge");
    BusyGauge->setTextVisible(false);
    BusyGauge->setRange(0, 0);
    BusyGauge->setGeometry(2, 17, 172, 8);
    BusyGauge->hide();
    Status3 = AddPanel(bar, "Status3", 0, 1);
    Padlock = new QLabel(bar);
    Padlock->setObjectName("Padlock");
    Padlock->setPixmap(PadlockPicture());
    bar->addPermanentWidget(Padlock);
    Padlock->hide();
}

void TMainWindow::CreatePopupMenu() {
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("PopupMenu1");
    SaveImageAs1 = AddCommand(PopupMenu, "SaveImageAs1", "&Save image as...", this,
                              &TMainWindow::SaveImageAsClick);
    PopupMenu->addSeparator();
    OpenInNewWindow1 = AddCommand(PopupMenu, "OpenInNewWindow1", "&Open in new window", this,
                                  &TMainWindow::OpenInNewWindowClick);
    CopyLink1 = AddCommand(PopupMenu, "CopyLink1", "&Copy Link", this, &TMainWindow::CopyLinkClick);
}

void TMainWindow::ConnectFrameBrowser() {
    TFrameBrowser& b = *FrameBrowser;
    b.PrintMarginLeft = 2.0;
    b.PrintMarginRight = 2.0;
    b.PrintMarginTop = 2.0;
    b.PrintMarginBottom = 3.0;
    b.OnGetPostRequest = [this](QWidget* sender, bool isGet, const std::string& url,
                                const std::string& query, bool reload, std::string& newURL,
                                TContentKind& kind, TStream*& stream) {
        GetPostRequest(sender, isGet, url, query, reload, newURL, kind, stream);
    };
    b.OnProcessing = [this](QWidget*, bool on) { Processing(on); };
    b.OnHistoryChange = [this](QWidget*) { HistoryChange(); };
    b.OnHotSpotTargetCovered = [this](THTMLViewer*, const std::string& target,
                                      const std::string& url) {
        HotSpotTargetCovered(target, url);
    };
    b.OnHotSpotTargetClick = [this](QWidget*, const std::string& target, const std::string& url,
                                    bool& handled) { HotSpotTargetClick(target, url, handled); };
    b.OnBlankWindowRequest = [this](QWidget*, const std::string&, const std::string& url) {
        BlankWindowRequest(url);
    };
    b.OnRightClick = [this](THTMLViewer* sender, const TRightClickParameters& parameters) {
        RightClick(sender, parameters);
    };
    b.OnImageRequest = [this](THTMLViewer* sender, const std::string& src, TStream*& stream) {
        imageQueue_->GetImageRequest(sender, src, stream);
    };
    b.OnViewerClear = [this](THTMLViewer* viewer) { imageQueue_->ViewerClear(viewer); };
    b.OnFramesLeftOut = [this](QWidget*) { doneNote_ = TooManyFramesText; };
    b.SetHistoryMaxCount(15);
}

} // namespace lumo
