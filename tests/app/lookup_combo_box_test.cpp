// The address box driven by key events as a user types into it.
#include "app/lookup_combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

class LookUpComboBoxTest : public testing::Test {
protected:
    LookUpComboBoxTest() {
        box.SetItems({"http://zeta.example/", "http://alpha.example/", "http://Beta.example/a",
                      "http://beta.example/b"});
        box.SetText("start");
        box.show();
        box.activateWindow();
        box.setFocus();
        QApplication::processEvents();
    }
    std::string Selected() const { return box.lineEdit()->selectedText().toStdString(); }
    int Caret() const { return box.lineEdit()->cursorPosition(); }
    void Type(const char* keys) { QTest::keyClicks(&box, QString::fromLatin1(keys)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&box, key, modifiers);
    }

    TLookUpComboBox box;
};

TEST_F(LookUpComboBoxTest, TypingCompletesAndTheNextKeyReplacesTheCompletion) {
    box.lineEdit()->clear();
    Type("http://b");
    // "Beta" and "beta" order without regard to case; the first is taken.
    EXPECT_EQ(box.Text(), "http://Beta.example/a");
    EXPECT_EQ(Selected(), "eta.example/a");
    EXPECT_EQ(Caret(), 8);
    Type("ETA.EXAMPLE/B");
    EXPECT_EQ(box.Text(), "http://beta.example/b");
    EXPECT_EQ(Selected(), "");
    Key(Qt::Key_A);
    EXPECT_EQ(box.Text(), "http://beta.example/ba"); // nothing begins so: left as typed
}

TEST_F(LookUpComboBoxTest, DeletingNeverCompletesAgain) {
    box.lineEdit()->clear();
    Type("http://z");
    ASSERT_EQ(box.Text(), "http://zeta.example/");
    Key(Qt::Key_Backspace); // takes the selected completion away
    EXPECT_EQ(box.Text(), "http://z");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(box.Text(), "http://");
    box.lineEdit()->selectAll();
    Key(Qt::Key_Delete); // an empty box stays empty
    EXPECT_EQ(box.Text(), "");
    Key(Qt::Key_Space);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(box.Text(), "");
}

TEST_F(LookUpComboBoxTest, EscapeRestoresTheTextTheBoxHadOnEntry) {
    box.clearFocus();
    box.SetText("http://before/");
    box.setFocus();
    QApplication::processEvents();
    box.lineEdit()->selectAll();
    Type("http://al");
    ASSERT_EQ(box.Text(), "http://alpha.example/");
    Key(Qt::Key_Escape);
    EXPECT_EQ(box.Text(), "http://before/");
    EXPECT_EQ(Selected(), "http://before/");
}

TEST_F(LookUpComboBoxTest, AltDownOpensTheListAndClosesIt) {
    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
    QApplication::sendEvent(&box, &altDown);
    ASSERT_TRUE(box.view()->isVisible());
    // The open list takes the keys.
    QApplication::sendEvent(box.view(), &altDown);
    EXPECT_FALSE(box.view()->isVisible());
    EXPECT_EQ(box.maxVisibleItems(), 8);
}

TEST_F(LookUpComboBoxTest, TheListHoldsNoAddressTwiceInAnyCase) {
    box.AddItem("HTTP://ALPHA.EXAMPLE/");
    box.AddItem("http://gamma.example/");
    box.AddItem("http://Gamma.example/");
    box.SetItems([&] {
        auto items = box.Items();
        items.push_back("http://ZETA.example/");
        return items;
    }());
    EXPECT_EQ(box.Items(),
              (std::vector<std::string>{"http://alpha.example/", "http://Beta.example/a",
                                        "http://beta.example/b", "http://gamma.example/",
                                        "http://zeta.example/"}));
    EXPECT_EQ(box.Text(), "start"); // the list changes leave the text alone
}

TEST_F(LookUpComboBoxTest, CompletionFindsItsEntryAmongFiftyThousand) {
    std::vector<std::string> items;
    for (int i = 0; i < 50000; ++i)
        items.push_back("http://host" + std::to_string(i * 7919 % 50000) + ".example/");
    box.SetItems(items);
    ASSERT_EQ(box.count(), 50000);
    box.lineEdit()->clear();
    Type("http://host4999");
    EXPECT_EQ(box.Text(), "http://host4999.example/");
    EXPECT_EQ(Selected(), ".example/");
    // The look-up list holds one screenful however many entries match.
    box.AutoDropList = true;
    box.lineEdit()->clear();
    Type("h");
    const QListWidget* list = box.DropList();
    ASSERT_EQ(list->count(), TLookUpComboBox::DropListCount);
    EXPECT_EQ(list->height(), 8 * list->sizeHintForRow(0) + 5);
}

// The look-up list drops down while typing and takes the arrows, Enter and
// Escape; the text keeps what the arrows walked to.
TEST_F(LookUpComboBoxTest, TheLookUpListFollowsTypingAndTakesTheArrows) {
    box.AutoDropList = true;
    box.lineEdit()->clear();
    Type("http://b");
    EXPECT_EQ(box.LookUpItems(),
              (std::vector<std::string>{"http://Beta.example/a", "http://beta.example/b"}));
    EXPECT_EQ(box.Text(), "http://Beta.example/a"); // completion goes on as before
    EXPECT_EQ(box.DropList()->width(), box.width() - box.ButtonWidth());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down); // stays on the last row
    EXPECT_EQ(box.Text(), "http://beta.example/b");
    Key(Qt::Key_Up);
    EXPECT_EQ(box.Text(), "http://Beta.example/a");
    Key(Qt::Key_Escape); // closes the list and brings back what was typed
    EXPECT_TRUE(box.LookUpItems().empty());
    EXPECT_EQ(box.Text(), "http://b");
    Key(Qt::Key_Escape); // and then the text of the box on entry
    EXPECT_EQ(box.Text(), "start");

    box.lineEdit()->clear();
    Type("http://beta.example/");
    ASSERT_EQ(box.LookUpItems().size(), 2u);
    Key(Qt::Key_Backspace); // the completion goes; the list still shows what matches
    Key(Qt::Key_Backspace);
    EXPECT_EQ(box.Text(), "http://Beta.example");
    EXPECT_EQ(box.LookUpItems().size(), 2u);
    Type("/bx"); // nothing matches any more
    EXPECT_TRUE(box.LookUpItems().empty());
    box.lineEdit()->selectAll();
    Type("http://al");
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_TRUE(box.LookUpItems().empty());
    EXPECT_EQ(box.Text(), "http://alpha.example/");
}

TEST_F(LookUpComboBoxTest, AClickInTheLookUpListTakesTheEntry) {
    box.AutoDropList = true;
    box.lineEdit()->clear();
    Type("http://b");
    QListWidget* list = box.DropList();
    ASSERT_TRUE(list && list->isVisible());
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(box.Text(), "http://beta.example/b");
    EXPECT_EQ(Selected(), "http://beta.example/b");
}

TEST_F(LookUpComboBoxTest, TheOwnerMayChangeTheLookUpEntries) {
    box.AutoDropList = true;
    std::vector<std::string> offered;
    box.OnGetLookUpItems = [&](TLookUpComboBox&, std::vector<std::string>& items) {
        offered = items;
        if (items.size() > 1)
            items.erase(items.begin());
        else
            items.clear();
    };
    box.lineEdit()->clear();
    Type("http://b");
    EXPECT_EQ(offered.size(), 2u);
    EXPECT_EQ(box.LookUpItems(), std::vector<std::string>{"http://beta.example/b"});
    Type("eta.example/b"); // one match left, which the owner takes away: no list
    EXPECT_TRUE(box.LookUpItems().empty());
}

TEST_F(LookUpComboBoxTest, LeavingTheBoxWithAlwaysCompleteTakesTheLastMatch) {
    box.AlwaysComplete = true;
    const auto leave = [&] {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&box, &out);
    };
    leave(); // nothing matched yet: the first entry
    EXPECT_EQ(box.Text(), "http://alpha.example/");
    box.lineEdit()->clear();
    Type("http://z");
    Key(Qt::Key_Delete);
    Type("q"); // matches nothing; the last match still counts
    leave();
    EXPECT_EQ(box.Text(), "http://zeta.example/");
    box.AddItem("http://a.example/");     // inserted before it: still names zeta
    box.SetText("http://beta.example/b"); // an entry as it is stays
    leave();
    EXPECT_EQ(box.Text(), "http://beta.example/b");
    box.SetText("http://BETA.example/b"); // in another case it does not
    leave();
    EXPECT_EQ(box.Text(), "http://zeta.example/");
    box.SetItems({});
    box.SetText("typed");
    leave();
    EXPECT_EQ(box.Text(), "typed");
}

// The flat look at a few chosen pixels: the outer frame, the window-coloured
// frame inside it, and the drop button's top-left edge and face, inactive,
// under the mouse and pressed.
TEST(FlatComboBoxTest, FlatBoxPaintsItsFrameAndSlimButton) {
    TFlatComboBox box;
    box.SetFlat(true);
    const int wide = box.ButtonWidth();
    box.SetSlimButton(true);
    EXPECT_EQ(box.ButtonWidth(), wide - 2);
    box.resize(200, 22);
    box.show();
    QApplication::processEvents();
    box.clearFocus();            // the only window took the focus on showing
    QEvent leave(QEvent::Leave); // nor may the mouse be over it
    QApplication::sendEvent(&box, &leave);
    const QPalette& pal = box.palette();
    const QRect button = box.ButtonRect();
    EXPECT_EQ(button, QRect(198 - box.ButtonWidth(), 2, box.ButtonWidth(), 18));
    EXPECT_EQ(box.lineEdit()->geometry(), box.EditRect());
    EXPECT_LT(box.EditRect().right(), button.left()); // the edit never covers the button
    struct Probe {
        QPoint at;
        QPalette::ColorRole inactive, hovered, pressed;
    };
    const Probe probes[] = {
        {{0, 0}, QPalette::Button, QPalette::Dark, QPalette::Dark}, // outer frame
        {{2, 11}, QPalette::Base, QPalette::Base, QPalette::Base},  // window-coloured frame
        {button.topLeft(), QPalette::Button, QPalette::Light, QPalette::Shadow},
        {button.topLeft() + QPoint(3, 3), QPalette::Button, QPalette::Button, QPalette::Button},
    };
    const auto check = [&](QPalette::ColorRole Probe::*role, const char* state) {
        const QImage image = box.grab().toImage();
        for (const Probe& probe : probes)
            EXPECT_EQ(image.pixelColor(probe.at).name().toStdString(),
                      pal.color(probe.*role).name().toStdString())
                << state << " at " << probe.at.x() << "," << probe.at.y();
    };
    check(&Probe::inactive, "inactive");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&box, &enter);
    check(&Probe::hovered, "hovered");
    QTest::mousePress(&box, Qt::LeftButton, {}, button.center());
    check(&Probe::pressed, "pressed");
    box.hidePopup();
    check(&Probe::hovered, "released");
}

} // namespace
} // namespace lumo
