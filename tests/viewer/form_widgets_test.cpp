// The live form widgets of a viewer: placed with the page, made only for
// what is in view, keys and clicks as a user makes them, and submissions
// handed on from the event loop.
#include "viewer/form_widgets.h"
#include "viewer/page_device.h"

#include "platform/recording_canvas.h"

#include "tests/viewer/viewer_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace lumo::test {
namespace {

class FormWidgetsTest : public ViewerTest {
protected:
    FormWidgetsTest() {
        viewer.OnFormSubmit = [this](THTMLViewer*, const std::string& action, const std::string&,
                                     const std::string&, const std::string& method,
                                     const std::vector<std::string>& results) {
            submitted.push_back({action, "", "", method, results});
        };
    }

    TFormControl& Control(std::string_view name) {
        for (const auto& control : viewer.SectionList().FormControls)
            if (control->Name == name) return *control;
        throw std::runtime_error("no control " + std::string(name));
    }
    template <class W>
    W* Widget(std::string_view name) {
        return dynamic_cast<W*>(viewer.FormWidgets().WidgetOf(Control(name)));
    }
    void Deliver() { Settle(); }

    std::vector<TFormSubmission> submitted;
};

TEST_F(FormWidgetsTest, EnterInAOneLineEditSubmitsButNotInATextArea) {
    Open("f.htm", "<FORM ACTION=go><INPUT NAME=q VALUE=a><TEXTAREA NAME=t></TEXTAREA>"
                  "<INPUT TYPE=submit NAME=b VALUE=B></FORM>");
    auto* memo = Widget<QPlainTextEdit>("t");
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    QTest::keyClicks(memo, "x");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "y");
    Deliver();
    EXPECT_TRUE(submitted.empty());
    auto* edit = Widget<QLineEdit>("q");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "b c");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(submitted.empty()); // delivered from the event loop
    Deliver();
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].Action, "go");
    EXPECT_EQ(submitted[0].Results, (std::vector<std::string>{"q=ab c", "t=x\r\ny"}));
}

TEST_F(FormWidgetsTest, ResetButtonRestoresEveryControl) {
    Open("f.htm", "<FORM><INPUT NAME=q VALUE=a><INPUT TYPE=checkbox NAME=c>"
                  "<SELECT NAME=s><OPTION>x<OPTION SELECTED>y</SELECT>"
                  "<INPUT TYPE=reset NAME=r></FORM>");
    auto* edit = Widget<QLineEdit>("q");
    auto* box = Widget<QCheckBox>("c");
    auto* combo = Widget<QComboBox>("s");
    auto* reset = Widget<QPushButton>("r");
    ASSERT_TRUE(edit && box && combo && reset);
    EXPECT_EQ(combo->currentIndex(), 1);
    QTest::keyClicks(edit, "bc");
    QTest::mouseClick(box, Qt::LeftButton);
    combo->setCurrentIndex(0);
    EXPECT_EQ(Control("q").Text, "abc");
    EXPECT_TRUE(Control("c").Checked);
    QTest::mouseClick(reset, Qt::LeftButton);
    EXPECT_EQ(edit->text(), "a");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(Control("q").Text, "a");
    EXPECT_EQ(Control("s").Chosen, (std::vector<char>{0, 1}));
}

TEST_F(FormWidgetsTest, RadioClicksKeepToTheirGroup) {
    Open("f.htm", "<FORM><INPUT TYPE=radio NAME=A VALUE=1 CHECKED><INPUT TYPE=radio NAME=a VALUE=2>"
                  "<INPUT TYPE=radio NAME=b VALUE=3 CHECKED></FORM>"
                  "<FORM><INPUT TYPE=radio NAME=a VALUE=4 CHECKED></FORM>");
    auto& controls = viewer.SectionList().FormControls;
    std::vector<QRadioButton*> radios;
    for (const auto& c : controls)
        radios.push_back(dynamic_cast<QRadioButton*>(viewer.FormWidgets().WidgetOf(*c)));
    ASSERT_EQ(radios.size(), 4u);
    QTest::mouseClick(radios[1], Qt::LeftButton);
    EXPECT_FALSE(radios[0]->isChecked());
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_TRUE(radios[2]->isChecked());
    EXPECT_TRUE(radios[3]->isChecked());
    QTest::mouseClick(radios[1], Qt::LeftButton); // a second click keeps it
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_TRUE(controls[1]->Checked);
}

TEST_F(FormWidgetsTest, ClicksRaiseOnObjectClickWithTheOnClickText) {
    Open("f.htm", "<FORM><INPUT NAME=e ONCLICK=\"e('1')\"><INPUT TYPE=checkbox NAME=c ONCLICK=c>"
                  "<INPUT TYPE=radio NAME=r ONCLICK=r><SELECT NAME=s ONCLICK=s><OPTION>a<OPTION>b"
                  "</SELECT><SELECT NAME=l SIZE=3 ONCLICK=l><OPTION>x</SELECT>"
                  "<TEXTAREA NAME=t ONCLICK=t></TEXTAREA><INPUT TYPE=button NAME=b>"
                  "<INPUT TYPE=reset NAME=z ONCLICK=z></FORM>");
    std::vector<std::string> clicks;
    viewer.OnObjectClick = [&](THTMLViewer* sender, TFormControl* control,
                               const std::string& onClick) {
        EXPECT_EQ(sender, &viewer);
        // A reset button reports its click before the form is reset.
        clicks.push_back(control->Name + ":" + onClick + ":" + Control("e").Text);
    };
    QTest::keyClicks(Widget<QLineEdit>("e"), "q");
    QTest::mouseClick(Widget<QLineEdit>("e"), Qt::LeftButton);
    QTest::mouseClick(Widget<QCheckBox>("c"), Qt::LeftButton);
    QTest::keyClick(Widget<QCheckBox>("c"), Qt::Key_Space);
    QTest::mouseClick(Widget<QRadioButton>("r"), Qt::LeftButton);
    QTest::keyClick(Widget<QComboBox>("s"), Qt::Key_Down);
    auto* list = Widget<QListWidget>("l");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(Widget<QPlainTextEdit>("t")->viewport(), Qt::LeftButton);
    QTest::mouseClick(Widget<QPushButton>("b"), Qt::LeftButton);
    QTest::mouseClick(Widget<QPushButton>("z"), Qt::LeftButton);
    EXPECT_EQ(clicks, (std::vector<std::string>{"e:e('1'):q", "c:c:q", "c:c:q", "r:r:q", "s:s:q",
                                                "l:l:q", "t:t:q", "b::q", "z:z:q"}));
    EXPECT_EQ(Control("e").Text, "");
}

TEST_F(FormWidgetsTest, AClickHandlerThatReplacesThePageEndsTheClick) {
    // The submit button and the image button would submit after their click
    // event; their controls are gone with the page by then.
    for (const char* control : {"<INPUT TYPE=submit NAME=go>",
                                "<INPUT TYPE=image NAME=go SRC=none.gif WIDTH=40 HEIGHT=30>"}) {
        Open("f.htm", std::string("<FORM><INPUT NAME=q VALUE=1>") + control + "</FORM>");
        viewer.OnObjectClick = [this](THTMLViewer*, TFormControl*, const std::string&) {
            viewer.OnObjectClick = nullptr;
            Open("g.htm", "<P>another page");
        };
        if (auto* button = Widget<QPushButton>("go"))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            Click(QPoint(Control("go").MyImage->LeftX + 5 - viewer.HScroll(),
                         Control("go").MyImage->PaintTop + 5 - viewer.ScrollY()));
        Deliver();
        EXPECT_TRUE(submitted.empty()) << control;
        EXPECT_EQ(viewer.SectionList().FormControls.size(), 0u);
    }
}

TEST_F(FormWidgetsTest, RadioButtonsShowTheBackgroundTheyStandOn) {
    // The corners of a radio button's box lie outside its circle.
    Open("f.htm", "<BODY BGCOLOR=#00FF00><INPUT TYPE=radio NAME=page CHECKED><TABLE><TR>"
                  "<TD BGCOLOR=#FF0000><INPUT TYPE=radio NAME=cell></TD></TR></TABLE>");
    viewer.PaintPanel()->repaint();
    const QImage shot = viewer.PaintPanel()->grab().toImage();
    for (const auto& [name, colour] : {std::pair{"page", 0xFF00FF00u}, {"cell", 0xFFFF0000u}}) {
        const TFormControl& radio = Control(name);
        ASSERT_TRUE(Widget<QRadioButton>(name)->isVisible());
        const int x = radio.LeftX - viewer.HScroll(), y = radio.PaintTop - viewer.ScrollY();
        EXPECT_EQ(shot.pixel(x, y), colour) << name;
        EXPECT_EQ(shot.pixel(x + radio.BoxWidth - 1, y + radio.BoxHeight - 1), colour) << name;
    }
}

class FileInputTest : public FormWidgetsTest {
protected:
    FileInputTest() {
        Open("f.htm",
             "<FORM><INPUT NAME=a><INPUT TYPE=file NAME=f VALUE=old><INPUT NAME=b></FORM>");
        viewer.FormWidgets().ChooseFile = [this](const std::string& current) {
            asked.push_back(current);
            if (onAsk) onAsk();
            return answer;
        };
        box = Widget<QWidget>("f");
        edit = box->findChild<QLineEdit*>();
        browse = box->findChild<QPushButton*>();
    }

    std::vector<std::string> asked;
    std::optional<std::string> answer;
    std::function<void()> onAsk;
    QWidget* box;
    QLineEdit* edit;
    QPushButton* browse;
};

TEST_F(FileInputTest, BrowsePutsTheChosenNameInTheBoxAndItIsSent) {
    ASSERT_TRUE(edit && browse);
    EXPECT_EQ(browse->text(), "Browse...");
    EXPECT_EQ(edit->geometry().right() + 1, browse->geometry().left());
    EXPECT_EQ(browse->geometry().right() + 1, box->width());
    answer = "/home/me/r\xE9sum\xE9.txt";
    QTest::mouseClick(browse, Qt::LeftButton);
    answer = std::nullopt; // cancelled: the name stays
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(asked, (std::vector<std::string>{"old", "/home/me/r\xE9sum\xE9.txt"}));
    EXPECT_EQ(edit->text(), QString::fromUtf8("/home/me/r\u00e9sum\u00e9.txt"));
    QTest::keyClick(edit, Qt::Key_Return);
    Deliver();
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].Results,
              (std::vector<std::string>{"a=", "f=/home/me/r\xE9sum\xE9.txt", "b="}));
}

TEST_F(FileInputTest, APageReplacedWhileTheDialogIsOpenTakesNoName) {
    answer = "/tmp/x";
    onAsk = [this] { Open("g.htm", "<P>another page"); };
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(viewer.SectionList().FormControls.size(), 0u);
}

TEST_F(FileInputTest, TabStopsAtTheBoxThenItsButton) {
    viewer.activateWindow();
    Widget<QWidget>("a")->setFocus();
    const auto focused = [this] { return viewer.window()->focusWidget(); };
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), edit);
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), browse);
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), Widget<QWidget>("b"));
    QTest::keyClick(focused(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), browse);
    QTest::keyClick(focused(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), edit);
}

TEST_F(FormWidgetsTest, TabFollowsDocumentOrderThroughNestedTables) {
    Open("f.htm", "<FORM><TABLE><TR><TD><INPUT NAME=a></TD><TD><TABLE><TR><TD>"
                  "<INPUT NAME=b></TD></TR><TR><TD><INPUT TYPE=hidden NAME=h>"
                  "<SELECT NAME=c><OPTION>x</SELECT></TD></TR></TABLE></TD>"
                  "<TD><TEXTAREA NAME=d></TEXTAREA></TD></TR></TABLE></FORM>");
    viewer.activateWindow();
    Widget<QWidget>("a")->setFocus();
    const auto focused = [this] { return viewer.window()->focusWidget(); };
    ASSERT_EQ(focused(), Widget<QWidget>("a"));
    std::vector<std::string> order;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        order.push_back(focused()->objectName().toStdString());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"b", "c", "d"}));
    QTest::keyClick(focused(), Qt::Key_Backtab);
    EXPECT_EQ(focused()->objectName().toStdString(), "c");
}

// A control whose style hides it keeps its room but shows no widget and
// takes no focus; its value is still sent.
TEST_F(FormWidgetsTest, HiddenControlsShowNoWidget) {
    Open("f.htm", "<FORM ACTION=go><INPUT NAME=a><DIV STYLE=\"visibility: hidden\">"
                  "<INPUT NAME=b VALUE=v><SELECT NAME=c><OPTION>x</SELECT></DIV>"
                  "<INPUT NAME=d STYLE=\"visibility: hidden\"><TEXTAREA NAME=e></TEXTAREA></FORM>");
    for (std::string_view name : {"b", "c", "d"}) {
        QWidget* widget = viewer.FormWidgets().WidgetOf(Control(name));
        EXPECT_TRUE(!widget || !widget->isVisible()) << name;
        EXPECT_GT(Control(name).BoxWidth, 0) << name;
    }
    ASSERT_TRUE(Widget<QWidget>("a")->isVisible());
    viewer.activateWindow();
    Widget<QWidget>("a")->setFocus();
    QTest::keyClick(viewer.window()->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(viewer.window()->focusWidget(), Widget<QWidget>("e"));
    viewer.SectionList().SubmitForm(Control("a"));
    Deliver();
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].Results, (std::vector<std::string>{"a=", "b=v", "c=x", "d=", "e="}));
}

TEST_F(FormWidgetsTest, SubmissionsAreQueuedWholeAndDroppedWithTheirPage) {
    Open("f.htm", "<FORM ACTION=one><INPUT NAME=q VALUE=1></FORM>"
                  "<FORM ACTION=two><INPUT NAME=r VALUE=2></FORM>");
    TSectionList& root = viewer.SectionList();
    root.SubmitForm(Control("q"));
    root.SubmitForm(Control("r"));
    Deliver();
    ASSERT_EQ(submitted.size(), 2u);
    EXPECT_EQ(submitted[0].Action, "one");
    EXPECT_EQ(submitted[1].Action, "two");
    root.SubmitForm(Control("q"));
    Open("g.htm", "<P>another page");
    Deliver();
    EXPECT_EQ(submitted.size(), 2u);
}

TEST_F(FormWidgetsTest, ImageButtonClickSubmitsThePoint) {
    Open("f.htm", "<FORM><INPUT TYPE=image NAME=pic SRC=none.gif WIDTH=40 HEIGHT=30></FORM>");
    TFormControl& pic = Control("pic");
    ASSERT_NE(pic.MyImage, nullptr);
    TFormControl* clicked = nullptr;
    viewer.OnObjectClick = [&](THTMLViewer*, TFormControl* control, const std::string&) {
        clicked = control;
    };
    const QPoint at(pic.MyImage->LeftX + 5 - viewer.HScroll(),
                    pic.MyImage->PaintTop + 7 - viewer.ScrollY());
    Click(at);
    EXPECT_EQ(clicked, &pic);
    Deliver();
    ASSERT_EQ(submitted.size(), 1u);
    ASSERT_EQ(submitted[0].Results.size(), 2u);
    EXPECT_EQ(submitted[0].Results[0].rfind("pic.x=", 0), 0u);
    EXPECT_EQ(submitted[0].Results[1].rfind("pic.y=", 0), 0u);
}

TEST_F(FormWidgetsTest, OnlyControlsInViewGetWidgetsAndShow) {
    std::string html = "<FORM>";
    for (int i = 0; i < 1000; ++i)
        html += "<INPUT NAME=f" + std::to_string(i) + " VALUE=" + std::to_string(i) + "><BR>";
    Open("many.htm", html + "</FORM>");
    TFormWidgets& widgets = viewer.FormWidgets();
    const int shown = widgets.ShownCount();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 40);
    EXPECT_LE(widgets.MadeCount(), shown);
    QWidget* first = widgets.WidgetOf(Control("f0"));
    EXPECT_TRUE(first->isVisible());
    viewer.ScrollTo(viewer.DocHeight());
    // The widgets that left the view serve the controls that came into it.
    EXPECT_TRUE(first->isHidden() || first->objectName() != "f0");
    EXPECT_LE(widgets.MadeCount(), 2 * shown);
    QWidget* last = widgets.WidgetOf(Control("f999"));
    EXPECT_TRUE(last->isVisible());
    const TFormControl& c = Control("f999");
    EXPECT_EQ(last->geometry(), QRect(c.LeftX - viewer.HScroll(), c.PaintTop - viewer.ScrollY(),
                                      c.BoxWidth, c.BoxHeight));
    EXPECT_EQ(last->objectName(), "f999");
    // Going back gives the first controls their own values again.
    viewer.ScrollTo(0);
    auto* edit = dynamic_cast<QLineEdit*>(widgets.WidgetOf(Control("f0")));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "0");
    QTest::keyClicks(edit, "x");
    // Only f0 took the keys, not a control its widget served before.
    for (const auto& c : viewer.SectionList().FormControls)
        EXPECT_EQ(c->Text, c->Index ? std::to_string(c->Index) : "0x");
    viewer.PaintPanel()->repaint();
    EXPECT_LE(widgets.MadeCount(), 2 * shown);
}

TEST_F(FormWidgetsTest, HugeSelectsAndDropDownLines) {
    std::string html = "<SELECT NAME=big>";
    for (int i = 0; i < 100000; ++i)
        html += "<OPTION>o" + std::to_string(i);
    html += "</SELECT><SELECT NAME=twenty>";
    for (int i = 0; i < 20; ++i)
        html += "<OPTION>t" + std::to_string(i);
    Open("big.htm", html + "</SELECT>");
    auto* big = Widget<QComboBox>("big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->count(), 100000);
    EXPECT_EQ(Widget<QComboBox>("twenty")->maxVisibleItems(), 8);
}

// Records every page's drawing in one log.
class RecordedPages : public TPageDevice {
public:
    TPageMetrics Metrics() const override { return {96, 96, 800, 1100, 20, 20, 760, 1060}; }
    void BeginDoc(const std::string&) override {}
    Canvas& PageCanvas() override { return canvas; }
    void NewPage() override {}
    void EndDoc() override {}
    void Abort() override {}
    RecordingCanvas canvas;
};

TEST_F(FormWidgetsTest, PreviewPagesDrawTheControlsAsTheUserLeftThem) {
    Open("f.htm", "<FORM><INPUT NAME=q VALUE=start><INPUT TYPE=checkbox NAME=c></FORM>");
    QTest::keyClicks(Widget<QLineEdit>("q"), "ed");
    const int widgets = viewer.FormWidgets().MadeCount();
    RecordedPages pages;
    EXPECT_EQ(viewer.PreviewPages(pages), 1);
    EXPECT_NE(pages.canvas.Log.find("\"started\""), std::string::npos) << pages.canvas.Log;
    EXPECT_EQ(viewer.FormWidgets().MadeCount(), widgets); // pictures, not widgets
}

} // namespace
} // namespace lumo::test
