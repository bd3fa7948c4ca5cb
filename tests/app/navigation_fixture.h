// The main window browsing a small site served by a real nginx on
// 127.0.0.1, started once for the test suite; each test has a fresh program
// folder, so its cache and cookies start empty. Requests are counted in
// nginx's access log.
#pragma once

#include "app/app_exceptions.h"
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "layout/form_control.h"
#include "layout/section_list.h"
#include "viewer/form_widgets.h"
#include "viewer/html_viewer.h"

#include "tests/support/local_servers.h"
#include "tests/support/pump.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/viewer_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace lumo::test {

// The main window in a fresh program folder, so its cache and cookies start
// empty, with message boxes recorded rather than shown.
class WindowTest : public testing::Test {
protected:
    void OpenWindow() {
        form = std::make_unique<TMainWindow>();
        form->resize(800, 600);
        form->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        if (form) form->close();
        form.reset();
    }
    // Opens the address and waits until its page is shown.
    void Go(const std::string& address) {
        form->NavigateTo(address);
        ASSERT_TRUE(PumpUntil([&] { return form->PageShown(); }));
    }
    static std::string TextOf(THTMLViewer& viewer) {
        viewer.SelectEverything();
        return viewer.SelectedText().toStdString();
    }
    // The text of the viewer, the focused one by default; empty without one.
    std::string Text(THTMLViewer* viewer = nullptr) {
        if (!viewer) viewer = form->FrameBrowser->FocusedViewer();
        return viewer ? TextOf(*viewer) : std::string();
    }
    std::string Status(int panel) const {
        const QLabel* label = panel == 1   ? form->Status1
                              : panel == 2 ? form->Status2
                                           : form->Status3;
        return label->text().toStdString();
    }

    TempFolder home;
    ScopedHome scopedHome{home.Path()};
    RecordingBoxes boxes;
    std::unique_ptr<TMainWindow> form;
};

// The main window and a site that a real nginx serves; each fixture starts
// its own server for its suite.
class SiteTest : public WindowTest {
protected:
    // Writes the site with write and serves it; serverConfig goes into the
    // server block, httpConfig into the http block, and logFormat names the
    // access log's format (a log_format of httpConfig).
    static void StartSite(void (*write)(const TempFolder&), const std::string& serverConfig,
                          const std::string& httpConfig = {}, const std::string& logFormat = {}) {
        site_ = new TempFolder;
        logs_ = new TempFolder;
        write(*site_);
        const std::string log = "access_log " + (*logs_ / "access.log") + " " + logFormat + ";\n";
        server_ = LocalServer::StartNginx(site_->Path(), log + serverConfig, httpConfig).release();
    }
    static void StopSite() {
        delete server_;
        delete site_;
        delete logs_;
        server_ = nullptr;
    }
    static const TempFolder& Site() { return *site_; }
    // What nginx has logged since the test began.
    std::string Log() const { return logs_->Read("access.log").substr(logStart_); }

    void SetUp() override {
        if (!server_) GTEST_SKIP() << "nginx is not installed";
        logStart_ = logs_->Read("access.log").size();
        OpenWindow();
    }

    static std::string Url(const std::string& path) { return server_->Address(path); }
    // Requests nginx has logged for a path since the test began.
    int Hits(const std::string& path) const {
        const std::string log = Log();
        const std::string needle = "\"GET " + path + " ";
        int count = 0;
        for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1))
            ++count;
        return count;
    }
    // Types an address into the box and presses Enter, as a user does;
    // failures go to the window's handler (and the recorded boxes).
    void Type(const std::string& text) {
        form->UrlCombobox->SetText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        // To the box, which has the focus, as a real key press goes.
        QApplication::sendEvent(form->UrlCombobox, &enter);
        QCoreApplication::processEvents();
    }
    THTMLViewer& Viewer() {
        THTMLViewer* viewer = form->FrameBrowser->FocusedViewer();
        EXPECT_NE(viewer, nullptr);
        return *viewer;
    }
    THTMLViewer& FrameViewer(const std::string& name) {
        TFrame* frame = form->FrameBrowser->ShownFrameSet()->FrameNamed(name);
        EXPECT_TRUE(frame && frame->Viewer) << name;
        return *frame->Viewer;
    }
    // The form control named name on the viewer's page, and its widget.
    static TFormControl& Control(THTMLViewer& viewer, std::string_view name) {
        for (const auto& control : viewer.SectionList().FormControls)
            if (control->Name == name) return *control;
        throw std::runtime_error("no control " + std::string(name));
    }
    static QWidget* Widget(THTMLViewer& viewer, std::string_view name) {
        return viewer.FormWidgets().WidgetOf(Control(viewer, name));
    }
    // Whether nginx logged the line (method, address, body) since the test
    // began. nginx writes its log after it has answered, so the window may
    // have the answer first: the line is waited for.
    bool Logged(const std::string& line) const {
        return PumpUntil([&] { return Log().find(line) != std::string::npos; }, 5000);
    }

private:
    size_t logStart_ = 0;
    static inline TempFolder* site_ = nullptr;
    static inline TempFolder* logs_ = nullptr;
    static inline LocalServer* server_ = nullptr;
};

class NavigationTest : public SiteTest {
protected:
    static void SetUpTestSuite() {
        StartSite(WriteSite,
                  "location = /r-abs { return 302 http://$host:$server_port/target.htm; }\n"
                  "location = /r-rel { absolute_redirect off; return 302 /target.htm; }\n"
                  "location = /setcookie.htm { add_header Set-Cookie \"session=42\"; }\n"
                  "location = /login { add_header Set-Cookie \"fresh=1\" always;"
                  " return 302 http://$host:$server_port/cookie; }\n"
                  "location = /cookie { default_type text/html;"
                  " return 200 \"<TITLE>Cookie</TITLE>cookie=[$http_cookie]\"; }\n"
                  "location = /upper.htm { types { } default_type TEXT/HTML; }\n"
                  "location ~ \\.pdf$ { types { } default_type application/pdf; }\n"
                  "location = /slow.htm { limit_rate_after 1k; limit_rate 100; }\n"
                  "location = /slowly.htm { limit_rate_after 1k; limit_rate 1k; }\n"
                  "location = /post { default_type text/html; return 200 \"<TITLE>Posted</TITLE>"
                  "posted\"; }\n");
    }
    static void TearDownTestSuite() { StopSite(); }

private:
    static void WriteSite(const TempFolder& site);
};

} // namespace lumo::test
