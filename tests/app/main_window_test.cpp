#include "app/app_exceptions.h"
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "app/proxy_dialog.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"
#include "net/http_connection.h"
#include "platform/message_box.h"

#include "platform/ini_file.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace lumo {
namespace {

class MainWindowTest : public testing::Test {
protected:
    // Runs the window's whole life: creation, an optional action, close, destruction.
    void RunOnce(const std::function<void(TMainWindow&)>& action = {}) {
        TMainWindow form;
        if (action) action(form);
        form.close();
    }
    std::vector<std::string> AddressItems(TMainWindow& form) { return form.UrlCombobox->Items(); }
    // Drags the files onto the window and drops them.
    static void Drop(TMainWindow& form, const QList<QUrl>& files) {
        QMimeData data;
        data.setUrls(files);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QApplication::sendEvent(&form, &drop);
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes; // no test waits on a real box
};

TEST_F(MainWindowTest, FirstRunInAnEmptyFolder) {
    RunOnce([&](TMainWindow& form) {
        EXPECT_TRUE(home.Exists("Cache"));
        EXPECT_TRUE(home.Exists("Cache/Monitor.txt"));
        EXPECT_TRUE(form.LogOpen());
        EXPECT_EQ(form.Proxy, "");
        EXPECT_EQ(form.ProxyPort, "80");
        EXPECT_TRUE(AddressItems(form).empty());
        EXPECT_EQ(form.windowTitle(), "Lumo 10");
        EXPECT_EQ(form.BookmarkFile(), home.Path() + "bookmarks/LumoBookmarks.tip");
    });
    EXPECT_EQ(home.Read("Cache/Monitor.txt"), "");
    EXPECT_EQ(home.Read("Cache/urls.txt"), "\r\n80\r\n");
}

TEST_F(MainWindowTest, AddressFileKeepsProxyApartFromTheAddresses) {
    // An address twice in different cases is kept once, as it came first.
    home.Write("Cache/urls.txt",
               "proxy.lan\r\n3128\r\nhttp://b/\r\n\r\nhttp://A/\r\nhttp://a/\r\n");
    RunOnce([&](TMainWindow& form) {
        EXPECT_EQ(form.Proxy, "proxy.lan");
        EXPECT_EQ(form.ProxyPort, "3128");
        EXPECT_EQ(AddressItems(form), (std::vector<std::string>{"http://A/", "http://b/"}));
        form.UrlCombobox->AddItem("HTTP://B/");
        form.UrlCombobox->AddItem("http://C/");
    });
    EXPECT_EQ(home.Read("Cache/urls.txt"),
              "proxy.lan\r\n3128\r\nhttp://A/\r\nhttp://b/\r\nhttp://C/\r\n");
}

TEST_F(MainWindowTest, ShortAddressFilesKeepTheDefaults) {
    for (const char* text : {"", "only.proxy\r\n"}) {
        home.Write("Cache/urls.txt", text);
        RunOnce([&](TMainWindow& form) {
            EXPECT_EQ(form.Proxy, *text ? "only.proxy" : "");
            EXPECT_EQ(form.ProxyPort, "80");
            EXPECT_TRUE(AddressItems(form).empty());
        });
    }
}

TEST_F(MainWindowTest, SettingsRoundTripWithDefaults) {
    RunOnce([](TMainWindow& form) {
        const TBrowserDefaults& d = form.BrowserDefaults();
        EXPECT_EQ(d.DefFontName, "Times New Roman");
        EXPECT_EQ(d.DefFontSize, 12);
        EXPECT_EQ(d.DefFontColor, clBtnText);
        EXPECT_EQ(d.DefBackground, 16777215u);
        EXPECT_EQ(d.DefHotSpotColor, 16711680u);
        EXPECT_EQ(d.DefOverLinkColor, 255u);
        EXPECT_EQ(d.DefVisitedLinkColor, 8388736u);
        EXPECT_TRUE(form.RetainCache());
        form.move(33, 44);
        form.resize(640, 470);
    });
    const std::string ini = home.Read("lumo.ini");
    for (const char* line :
         {"Name=Times New Roman", "Size=12", "Color=-2147483630", "Background=16777215",
          "Hotspot=16711680", "Overlink=255", "Visitedlink=8388736", "Left=33", "Top=44",
          "Width=640", "Height=470", "Maximized=0", "Retain=1"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    RunOnce([](TMainWindow& form) {
        EXPECT_EQ(form.x(), 33);
        EXPECT_EQ(form.y(), 44);
        EXPECT_EQ(form.width(), 640);
        EXPECT_EQ(form.height(), 470);
    });
}

TEST_F(MainWindowTest, FontColourReadsNamesAndNumbers) {
    home.Write("lumo.ini", "[Font]\r\nName=Arial\r\nSize=0x10\r\nColor=clRed\r\n"
                           "[Colors]\r\nBackground=12632256\r\n");
    RunOnce([](TMainWindow& form) {
        EXPECT_EQ(form.BrowserDefaults().DefFontName, "Arial");
        EXPECT_EQ(form.BrowserDefaults().DefFontSize, 16);
        EXPECT_EQ(form.BrowserDefaults().DefFontColor, 0x0000FFu);
        EXPECT_EQ(form.BrowserDefaults().DefBackground, 0xC0C0C0u);
    });
    EXPECT_NE(home.Read("lumo.ini").find("Color=255"), std::string::npos);
}

// Maximized keeps the stored placement; minimized writes none.
TEST_F(MainWindowTest, OnlyANormalWindowWritesItsPlacement) {
    home.Write("lumo.ini", "[MainForm]\r\nMaximized=1\r\nTop=5\r\nLeft=6\r\nWidth=300\r\n"
                           "Height=200\r\n");
    RunOnce([](TMainWindow& form) {
        EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
        EXPECT_NE(form.width(), 300); // the stored size is not applied
    });
    const std::string ini = home.Read("lumo.ini");
    EXPECT_NE(ini.find("Top=5\r\nLeft=6\r\nWidth=300\r\nHeight=200"), std::string::npos);
    EXPECT_NE(ini.find("Maximized=1"), std::string::npos);

    home.Write("lumo.ini", "");
    RunOnce([](TMainWindow& form) { form.setWindowState(Qt::WindowMinimized); });
    EXPECT_EQ(home.Read("lumo.ini").find("[MainForm]"), std::string::npos);
    EXPECT_NE(home.Read("lumo.ini").find("Retain=1"), std::string::npos);
}

TEST_F(MainWindowTest, ASettingsFileTooLargeToReadIsKeptAndSaidSo) {
    const std::string large =
        "[Mine]\r\n" + std::string(TIniFile::MaxFileSize, ';') + "\r\n[MainForm]\r\nTop=5\r\n";
    home.Write("lumo.ini", large);
    RunOnce([](TMainWindow& form) { form.move(40, 50); });
    EXPECT_EQ(home.Read("lumo.ini"), large);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, MessageKind::Warning);
    EXPECT_EQ(boxes.shown[0].second,
              "The settings file " + (home / "lumo.ini") +
                  " cannot be read (it may be larger than 4 MB). It is left as it is, and "
                  "settings changed in this session are not saved.");
}

TEST_F(MainWindowTest, UncheckingRetainCacheErasesTheCacheAtTheEnd) {
    std::string cached;
    RunOnce([&](TMainWindow& form) {
        cached = form.DiskCache().Add("http://srv/a.htm", 0, false);
        std::ofstream(cached) << "page";
        EXPECT_TRUE(form.RetainCache1->isChecked());
        form.RetainCache1->trigger();
        EXPECT_FALSE(form.RetainCache1->isChecked());
        EXPECT_FALSE(form.RetainCache());
    });
    EXPECT_FALSE(std::filesystem::exists(cached));
    EXPECT_EQ(home.Read("Cache/cachinfo.txt"), "");
    EXPECT_NE(home.Read("lumo.ini").find("Retain=0"), std::string::npos);
    RunOnce([](TMainWindow& form) { EXPECT_FALSE(form.RetainCache1->isChecked()); });
}

TEST_F(MainWindowTest, DeleteCacheEmptiesItNow) {
    RunOnce([](TMainWindow& form) {
        const std::string file = form.DiskCache().Add("http://srv/a.htm", 0, false);
        std::ofstream(file) << "page";
        form.DeleteCacheClick();
        EXPECT_EQ(form.DiskCache().Count(), 0u);
        EXPECT_FALSE(std::filesystem::exists(file));
    });
}

TEST_F(MainWindowTest, OnlyTheFirstDroppedFileIsTaken) {
    home.Write("first.htm", "<TITLE>First</TITLE>one");
    home.Write("second.htm", "<TITLE>Second</TITLE>two");
    RunOnce([&](TMainWindow& form) {
        Drop(form, {QUrl::fromLocalFile(QString::fromStdString(home / "first.htm")),
                    QUrl::fromLocalFile(QString::fromStdString(home / "second.htm")),
                    QUrl::fromLocalFile("/tmp/third.htm")});
        EXPECT_EQ(form.UrlCombobox->Text(), "file:///" + (home / "first.htm").substr(1));
        EXPECT_EQ(form.LastOpenFile, home / "first.htm");
        EXPECT_EQ(form.windowTitle(), "First");
    });
}

TEST_F(MainWindowTest, DroppedFilesOfAnyNameOpen) {
    const struct {
        const char* name;
        const char* address;
    } rows[] = {
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
         "%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82.htm"},
        {"a#b.htm", "a%23b.htm"},
        {"50%.htm", "50%25.htm"},
        {"x:y.htm", "x%3Ay.htm"},
    };
    RunOnce([&](TMainWindow& form) {
        for (const auto& row : rows) {
            home.Write(row.name, std::string("<TITLE>") + row.address + "</TITLE>");
            Drop(form, {QUrl::fromLocalFile(QString::fromUtf8(home / row.name))});
            EXPECT_EQ(form.UrlCombobox->Text(), "file://" + home / row.address);
            EXPECT_EQ(form.windowTitle().toStdString(), row.address);
        }
    });
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, CommandLineAddressGoesIntoTheAddressBox) {
    RunOnce([&](TMainWindow& form) {
        form.FormShow("file:///C|/dir/page.htm");
        EXPECT_EQ(form.UrlCombobox->Text(), "file:///C|/dir/page.htm");
    });
    // The file is opened at once; its absence is reported like any failure.
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Cannot open file C:\\dir\\page.htm");
}

TEST_F(MainWindowTest, ProxyDialogChangesLastThroughTheAddressFile) {
    RunOnce([](TMainWindow& form) {
        QTimer::singleShot(0, [] {
            auto* dialog = dynamic_cast<TProxyDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Proxy");
            EXPECT_EQ(dialog->PortEdit->text(), "80");
            dialog->ProxyEdit->setText("cache.lan");
            dialog->PortEdit->setText("8080");
            dialog->accept();
        });
        form.Proxy1Click();
        EXPECT_EQ(form.Proxy, "cache.lan");
        EXPECT_EQ(form.ProxyPort, "8080");
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); }); // Cancel
        form.Proxy1Click();
        EXPECT_EQ(form.Proxy, "cache.lan");
    });
    EXPECT_EQ(home.Read("Cache/urls.txt"), "cache.lan\r\n8080\r\n");
}

TEST_F(MainWindowTest, ProxyDialogSetsTheSocksServerKeptInTheSettingsFile) {
    const TSocksSettings socks{"socks.lan", "1081", "4A", "ann", "pa ss"};
    RunOnce([&](TMainWindow& form) {
        EXPECT_EQ(form.Socks(), TSocksSettings{});
        QTimer::singleShot(0, [] {
            auto* dialog = dynamic_cast<TProxyDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->SocksPortEdit->text(), "1080");
            EXPECT_EQ(dialog->SocksLevelCombo->currentText(), "5");
            EXPECT_EQ(dialog->SocksPasswordEdit->echoMode(), QLineEdit::Password);
            dialog->SocksServerEdit->setText(" socks.lan ");
            dialog->SocksPortEdit->setText("1081");
            dialog->SocksLevelCombo->setCurrentText("4A");
            dialog->SocksUserEdit->setText("ann");
            dialog->SocksPasswordEdit->setText("pa ss");
            dialog->accept();
        });
        form.Proxy1Click();
        EXPECT_EQ(form.Socks(), socks);
        THTTPConnection c;
        form.UseProxies(c);
        EXPECT_EQ(c.Socks, socks);
        EXPECT_EQ(c.ProxyPort, "80");
    });
    // The address file keeps its lines and their meaning; the settings file has a section more.
    EXPECT_EQ(home.Read("Cache/urls.txt"), "\r\n80\r\n");
    EXPECT_NE(home.Read("lumo.ini")
                  .find("[Socks]\r\nServer=socks.lan\r\nPort=1081\r\nLevel=4A\r\n"
                        "User=ann\r\nPassword=pa ss\r\n"),
              std::string::npos);
    RunOnce([&](TMainWindow& form) {
        EXPECT_EQ(form.Socks(), socks);
        QTimer::singleShot(0, [] {
            auto* dialog = dynamic_cast<TProxyDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->SocksServerEdit->text(), "socks.lan");
            EXPECT_EQ(dialog->SocksLevelCombo->currentText(), "4A");
            dialog->SocksServerEdit->clear(); // back to direct connections
            dialog->accept();
        });
        form.Proxy1Click();
        EXPECT_EQ(form.Socks().Server, "");
    });
}

TEST_F(MainWindowTest, ExceptionsReachingTheEventLoopAreShown) {
    RunOnce([&](TMainWindow& form) {
        form.Cancelled = true;
        QTimer::singleShot(0, [] { throw ESpecialException("Connection aborted"); });
        QTimer::singleShot(0, [] { throw std::runtime_error("Something broke"); });
        QApplication::processEvents();
        EXPECT_FALSE(form.Cancelled);
    });
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0],
              std::make_pair(MessageKind::Plain, std::string("Connection aborted")));
    EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Error, std::string("Something broke")));
}

} // namespace
} // namespace lumo
