#include "platform/app_exception.h"
#include "platform/exception.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

class CaughtExceptions {
public:
    CaughtExceptions() {
        SetExceptionHandler([this](const std::exception& e) { messages.push_back(e.what()); });
    }
    ~CaughtExceptions() { SetExceptionHandler(nullptr); }
    std::vector<std::string> messages;
};

TEST(MessageWindow, PostedMessagesArriveLaterInOrder) {
    std::vector<Received> got;
    MessageWindow window([&](UINT m, WPARAM w, LPARAM l) {
        got.push_back({m, w, l});
        return 0;
    });
    window.Post(WM_USER + 1, 7, -9);
    window.Post(WM_USER + 2);
    EXPECT_TRUE(got.empty());
    ProcessMessages();
    EXPECT_EQ(got, (std::vector<Received>{{WM_USER + 1, 7, -9}, {WM_USER + 2, 0, 0}}));
}

TEST(MessageWindow, SendRunsAtOnceAndReturnsTheResult) {
    MessageWindow window([](UINT m, WPARAM w, LPARAM) { return static_cast<LRESULT>(m + w); });
    EXPECT_EQ(window.Send(WM_USER + 124, 1), 1149);
}

TEST(MessageWindow, MessagesOfADestroyedWindowNeverArrive) {
    int count = 0;
    auto window = std::make_unique<MessageWindow>([&](UINT, WPARAM, LPARAM) { return ++count; });
    window->Post(1);
    ProcessMessages();
    EXPECT_EQ(count, 1);
    window->Post(2);
    window.reset();
    ProcessMessages();
    EXPECT_EQ(count, 1);
}

TEST(MessageWindow, ExceptionsGoToTheApplicationHandler) {
    CaughtExceptions caught;
    MessageWindow window([](UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == 1) throw Exception("posted failure");
        throw 42; // not even a std::exception
    });
    window.Post(1);
    ProcessMessages();
    window.Send(2);
    EXPECT_EQ(caught.messages, (std::vector<std::string>{"posted failure", "Unknown exception"}));
}

TEST(MessageLoop, WaitUntilPumpsTimersAndTasks) {
    Timer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3) timer.SetEnabled(false);
    };
    timer.SetInterval(5);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    WaitUntil([&] { return !timer.Enabled(); });
    EXPECT_EQ(ticks, 3);

    bool ran = false;
    PostTask([&] { ran = true; });
    WaitUntil([&] { return ran; });
}

TEST(MessageLoop, DeferDeleteFreesAfterTheCurrentEvent) {
    struct Tracked {
        bool* freed;
        ~Tracked() { *freed = true; }
    };
    bool freed = false;
    auto object = std::make_unique<Tracked>(&freed);
    DeferDelete(std::move(object));
    EXPECT_FALSE(freed);
    WaitUntil([&] { return freed; });
}

TEST(MessageWindow, AHandlerMayDestroyItsOwnWindow) {
    int count = 0;
    std::unique_ptr<MessageWindow> window;
    window = std::make_unique<MessageWindow>([&](UINT, WPARAM, LPARAM) {
        ++count;
        window.reset();
        return 0;
    });
    window->Post(WM_USER + 1);
    window->Post(WM_USER + 2); // never delivered: the window is gone by then
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(window, nullptr);

    window = std::make_unique<MessageWindow>([&](UINT, WPARAM, LPARAM) {
        ++count;
        window.reset();
        return 7;
    });
    EXPECT_EQ(window->Send(WM_USER), 7);
    EXPECT_EQ(count, 2);
    ProcessMessages();

    // Destroyed while its handler waits in a nested event loop, which may free
    // everything the window left behind before the handler returns.
    window = std::make_unique<MessageWindow>([&](UINT, WPARAM, LPARAM) {
        PostTask([&] { window.reset(); });
        WaitUntil([&] { return window == nullptr; });
        ProcessMessages();
        return ++count;
    });
    window->Post(WM_USER);
    WaitUntil([&] { return count == 3; });
    ProcessMessages();
}

} // namespace
} // namespace lumo
