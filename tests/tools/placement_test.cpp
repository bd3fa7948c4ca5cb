// Windows come back where they were, maximized or not.
#include "platform/ini_file.h"
#include "tests/support/temp_folder.h"
#include "tools/window_placement.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace lumo {
namespace {

class PlacementTest : public testing::Test {
protected:
    std::unique_ptr<QWidget> Window() {
        auto window = std::make_unique<QWidget>();
        window->setObjectName("PlacedF");
        window->resize(200, 100);
        return window;
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
};

TEST_F(PlacementTest, ANormalWindowKeepsItsPlaceAndSize) {
    {
        auto window = Window();
        window->show();
        window->move(40, 30);
        window->resize(420, 310);
        ASSERT_TRUE(TWindowPlacement::Save(*window));
    }
    const TIniFile ini(home / "lumo.ini");
    EXPECT_FALSE(ini.ReadBool("PlacedF", "State", true));
    EXPECT_EQ(ini.ReadInteger("PlacedF", "Width", 0), 420);

    auto window = Window();
    TWindowPlacement::Restore(*window);
    window->show();
    EXPECT_EQ(window->pos(), QPoint(40, 30));
    EXPECT_EQ(window->size(), QSize(420, 310));
    // Saved again unmoved, it has not crept.
    TWindowPlacement::Save(*window);
    EXPECT_EQ(TIniFile(home / "lumo.ini").ReadInteger("PlacedF", "Top", 0), 30);
}

TEST_F(PlacementTest, AMaximizedWindowComesBackMaximized) {
    {
        auto window = Window();
        window->showMaximized();
        ASSERT_TRUE(TWindowPlacement::Save(*window));
    }
    const TIniFile ini(home / "lumo.ini");
    EXPECT_TRUE(ini.ReadBool("PlacedF", "State", false));
    EXPECT_EQ(ini.ReadString("PlacedF", "Left", "none"), "none");
    auto window = Window();
    TWindowPlacement::Restore(*window);
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(PlacementTest, MissingOrWildValuesKeepTheWindowUsable) {
    auto window = Window();
    window->move(10, 20);
    TWindowPlacement::Restore(*window); // no settings file: nothing changes
    EXPECT_EQ(window->pos(), QPoint(10, 20));
    EXPECT_EQ(window->size(), QSize(200, 100));

    home.Write("lumo.ini", "[PlacedF]\r\nState=0\r\nLeft=-90000\r\nTop=90000\r\n"
                           "Width=-5\r\nHeight=999999\r\n");
    TWindowPlacement::Restore(*window);
    EXPECT_EQ(window->pos(), QPoint(10, 20)); // no screen shows that place
    EXPECT_GE(window->width(), 1);
    EXPECT_LE(window->height(), 16384);
}

} // namespace
} // namespace lumo
