// Pages in code pages other than Windows-1252, served by a real nginx: the
// server's charset against the page's META, titles in the caption and the
// History menu, framesets, and forms that show and send the page's text.
#include "tests/app/navigation_fixture.h"

#include "layout/section_list.h"
#include "viewer/form_widgets.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QToolButton>

namespace lumo::test {
namespace {

// Text written in UTF-8 here, as the bytes of a code page.
std::string In(const char* codePage, const char* utf8) {
    QStringEncoder encoder(codePage);
    return QByteArray(encoder.encode(QString::fromUtf8(utf8))).toStdString();
}

std::string Meta(const char* charset) {
    return std::string("<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=") + charset +
           "\">";
}

class CharsetTest : public SiteTest {
protected:
    static void SetUpTestSuite() {
        StartSite(
            WriteSite,
            "location = /koi.htm { types { } default_type 'text/html; Charset=\"KOI8-R\"'; }\n"
            "location = /unknown.htm { types { } default_type "
            "'text/html; level=1; charset=x-unknown'; }\n"
            "location = /koi.txt { types { } default_type 'text/plain;charset=koi8-r'; }\n"
            "location = /search { default_type text/html;"
            " return 200 \"<TITLE>Results</TITLE>found\"; }\n"
            "location = /send { proxy_pass http://127.0.0.1:$server_port/sent; }\n"
            "location = /sent { default_type text/html; return 200 \"<TITLE>Sent</TITLE>\"; }\n",
            "log_format forms '$request_method $request_uri [$request_body]';\n", "forms");
    }
    static void TearDownTestSuite() { StopSite(); }

    static void WriteSite(const TempFolder& site) {
        // The server says KOI8-R; the META's windows-1251 loses.
        site.Write("koi.htm", "<TITLE>" + In("koi8-r", "Жук & Co") + "</TITLE>" +
                                  Meta("windows-1251") + "<P>" + In("koi8-r", "Привет") +
                                  "<FORM ACTION=\"/search\"><INPUT NAME=q VALUE=\"" +
                                  In("koi8-r", "да") + "\"><INPUT TYPE=submit NAME=go VALUE=\"" +
                                  In("koi8-r", "Найти") + "\"></FORM>");
        site.Write("unknown.htm",
                   Meta("windows-1251") + "<TITLE>" + In("windows-1251", "Юг") + "</TITLE><P>x");
        site.Write("koi.txt", In("koi8-r", "Текст"));
        site.Write("greek.htm", Meta("iso-8859-7") + "<TITLE>" + In("iso-8859-7", "Ωμέγα") +
                                    "</TITLE><FORM METHOD=POST ACTION=send><TEXTAREA NAME=t>" +
                                    In("iso-8859-7", "αβ") + "</TEXTAREA><SELECT NAME=s><OPTION>" +
                                    In("iso-8859-7", "Δέλτα") + "</SELECT></FORM>");
        site.Write("frames.htm", "<TITLE>" + In("windows-1251", "Рамки") + "</TITLE>" +
                                     Meta("windows-1251") +
                                     "<FRAMESET COLS=\"50%,*\"><FRAME NAME=left SRC=\"left.htm\">"
                                     "<FRAME NAME=right SRC=\"right.htm\"></FRAMESET>");
        site.Write("left.htm", Meta("iso-8859-5") + "<P>" + In("iso-8859-5", "Лево"));
        site.Write("right.htm", "<P>" + In("windows-1252", "droite é"));
    }

    static QString U(const char* utf8) { return QString::fromUtf8(utf8); }
};

TEST_F(CharsetTest, TheServersCharsetWinsAndTitlesReadInTheirCodePage) {
    Type(Url("/koi.htm"));
    EXPECT_EQ(form->windowTitle(), U("Жук & Co"));
    EXPECT_EQ(QString::fromStdString(TextOf(Viewer())).left(6), U("Привет"));

    // An unknown name leaves the META's code page.
    Type(Url("/unknown.htm"));
    EXPECT_EQ(form->windowTitle(), U("Юг"));
    // The History menu shows the earlier title, its "&" as it stands.
    EXPECT_EQ(form->HistoryItems[1]->text(),
              QString::fromStdString(Url("/koi.htm")) + U("--Жук && Co"));

    Type(Url("/koi.txt"));
    EXPECT_EQ(QString::fromStdString(TextOf(Viewer())).left(5), U("Текст"));

    // From the cache, Back shows the page as the server named it.
    form->BackButton->click();
    form->BackButton->click();
    EXPECT_EQ(form->windowTitle(), U("Жук & Co"));
}

TEST_F(CharsetTest, AFramesetsTitleAndEachFrameKeepTheirOwnCodePage) {
    Type(Url("/frames.htm"));
    EXPECT_EQ(form->windowTitle(), U("Рамки"));
    EXPECT_EQ(QString::fromStdString(TextOf(FrameViewer("left"))).left(4), U("Лево"));
    EXPECT_EQ(QString::fromStdString(TextOf(FrameViewer("right"))).left(8), U("droite é"));
}

// Typed text goes in the page's code page; what it cannot hold goes as a
// character reference.
TEST_F(CharsetTest, FormsShowAndSendThePagesText) {
    Type(Url("/koi.htm"));
    THTMLViewer& viewer = Viewer();
    auto* q = static_cast<QLineEdit*>(Widget(viewer, "q"));
    EXPECT_EQ(q->text(), U("да"));
    EXPECT_EQ(static_cast<QPushButton*>(Widget(viewer, "go"))->text(), U("Найти"));
    q->setText(U("Ёж 中"));
    QTest::keyClick(q, Qt::Key_Return);
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Results"; }));
    // Ё is B3 and ж D6 in KOI8-R.
    EXPECT_TRUE(Logged("GET /search?q=%B3%D6+%26%2320013%3B [-]")) << Log();

    Type(Url("/greek.htm"));
    EXPECT_EQ(form->windowTitle(), U("Ωμέγα"));
    THTMLViewer& greek = Viewer();
    auto* memo = static_cast<QPlainTextEdit*>(Widget(greek, "t"));
    EXPECT_EQ(memo->toPlainText(), U("αβ"));
    EXPECT_EQ(static_cast<QComboBox*>(Widget(greek, "s"))->itemText(0), U("Δέλτα"));
    memo->setPlainText(U("γЖ"));
    greek.SectionList().FormControls.front()->Root->SubmitForm(Control(greek, "t"));
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Sent"; }));
    // γ is E3 in ISO-8859-7; Δέλτα C4 DD EB F4 E1.
    EXPECT_TRUE(PumpUntil([&] {
        return Logged("POST /send [t=%E3%26%231046%3B&s=%C4%DD%EB%F4%E1]");
    })) << Log();
}

} // namespace
} // namespace lumo::test
