// The address box driven by key events as a user types into it.
#include "app/lookup_combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
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
}

} // namespace
} // namespace lumo
