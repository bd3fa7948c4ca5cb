// The main of every test binary: an offscreen Qt application, so tests can
// use the event loop, widgets and fonts without a display.
#include "platform/lumo_application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    lumo::LumoApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
