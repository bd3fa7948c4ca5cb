// Opens pages in a window one after another, as a user's clicks would come:
// each page is opened from an event of the main loop, and the next waits
// until the page is shown ("DONE", every frame painted) or its time is up.
// Control goes back to the main loop between pages, so objects the window
// frees later (deleteLater) are gone before the next page, and memory stays
// level however long the walk.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

namespace lumo {

class TMainWindow;

class TPageWalk {
public:
    TPageWalk(TMainWindow& form, int timeoutMilliseconds);

    // The next address, or nothing when the walk is over.
    std::function<std::optional<std::string>()> OnNext;
    // Called before each page is opened.
    std::function<void(const std::string& address)> OnOpen;
    // The page is shown, or was not within the time (its fetch is then stopped).
    std::function<void(const std::string& address, bool timedOut)> OnShown;
    // The walk is over; by default the main loop quits.
    std::function<void()> OnEnd;

    void Start();

private:
    void OpenNext();
    void Poll();

    TMainWindow& form_;
    const int timeout_;
    QTimer poll_;
    QElapsedTimer started_;
    std::string address_;
    bool late_ = false; // the page's time is up and its fetch was stopped
};

} // namespace lumo
