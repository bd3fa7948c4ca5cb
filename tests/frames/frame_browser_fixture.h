// A shown frame browser whose owner serves pages from a map, as the main
// window would from its cache: one shared stream for every document, and
// every request recorded. A fetch that starts inside another fails the test.
#pragma once

#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "platform/stream.h"

#include "tests/support/pump.h"
#include "tests/support/viewer_input.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumo::test {

class FrameBrowserTest : public testing::Test {
protected:
    static constexpr const char* Site = "http://site/";

    FrameBrowserTest() {
        browser.resize(800, 600);
        browser.SetFvOptions(fvMetaRefresh | fvPrintTableBackground);
        browser.SetHistoryMaxCount(15);
        browser.SetDefBackground(0xFFFFFF);
        browser.OnGetPostRequest =
            [this](QWidget* sender, bool isGet, const std::string& url, const std::string& query,
                   bool reload, std::string& newURL, TContentKind& kind, TStream*& stream) {
                Serve(sender, isGet, url, query, reload, newURL, kind, stream);
            };
        browser.show();
        Settle();
    }
    ~FrameBrowserTest() override { Settle(); }

    // A page of the site, by its name.
    void Page(const std::string& name, const std::string& html) { pages[Site + name] = html; }
    void Open(const std::string& name) {
        browser.OpenAddress(Site + name);
        Settle();
    }
    int Requests(const std::string& name) const {
        int count = 0;
        for (const std::string& r : requests)
            count += r == Site + name;
        return count;
    }

    TFrame* Frame(const std::string& name) {
        TFrame* frame = browser.ShownFrameSet()->FrameNamed(name);
        EXPECT_NE(frame, nullptr) << name;
        return frame;
    }
    THTMLViewer& ViewerOf(const std::string& name) {
        TFrame* frame = Frame(name);
        EXPECT_TRUE(frame && frame->Viewer) << name;
        return *frame->Viewer;
    }
    // The name of the document a frame shows, without the site.
    std::string Shows(const std::string& name) {
        TFrame* frame = Frame(name);
        return frame ? frame->Source.substr(std::string(Site).size()) : std::string();
    }
    THTMLViewer& OnlyViewer() {
        THTMLViewer* viewer = browser.ShownFrameSet()->SingleViewer();
        EXPECT_NE(viewer, nullptr);
        return *viewer;
    }
    QRect RectOf(const QWidget* panel) const {
        return {panel->mapTo(&browser, QPoint(0, 0)), panel->size()};
    }
    void Click(THTMLViewer& viewer, std::string_view text) {
        ClickText(viewer, text);
        Settle();
    }

    // How many panels of a kind live below a widget. The panels have no
    // meta-objects of their own, so findChildren cannot tell them apart.
    template <class Panel>
    static int Alive(const QWidget& parent) {
        int count = 0;
        for (QObject* child : parent.findChildren<QObject*>())
            count += dynamic_cast<Panel*>(child) != nullptr;
        return count;
    }

    // Runs what is pending, then frees what was given up (deleteLater).
    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::map<std::string, std::string> pages;                  // address: document
    std::map<std::string, std::string> redirects;              // address: where it leads
    std::vector<std::string> requests;                         // each asked, with its query
    std::vector<bool> reloads;                                 // the reload flag of each
    std::function<void(const std::string& address)> onRequest; // runs while "fetching"
    TFrameBrowser browser;

private:
    void Serve(QWidget*, bool, const std::string& url, const std::string& query, bool reload,
               std::string& newURL, TContentKind& kind, TStream*& stream) {
        EXPECT_EQ(++depth_, 1) << "a fetch started inside another: " << url;
        std::string address = query.empty() ? url : url + "?" + query;
        requests.push_back(address);
        reloads.push_back(reload);
        if (onRequest) onRequest(address);
        if (const auto r = redirects.find(address); r != redirects.end()) {
            address = r->second;
            newURL = address;
        }
        const auto found = pages.find(address);
        document_.Assign(found != pages.end() ? found->second
                                              : "<TITLE>Missing</TITLE>Not here: " + address);
        kind = address.ends_with(".txt") ? ckText : ckHTML;
        stream = &document_;
        --depth_;
    }

    int depth_ = 0;
    TMemoryStream document_;
};

} // namespace lumo::test
