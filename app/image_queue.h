// The window's image fetch queue. Pictures that can be had at once (from the
// disk cache, a local file, a built-in resource or an open web archive) are
// answered in the request; http and https pictures are queued, fetched by
// up to MaxJobs asynchronous connections, and handed to their viewers at
// timer ticks, in the order their fetches finished: each tick hands over every picture that has
// arrived, so a page lays itself out again at most once a tick however many
// pictures come, and a tick after a quiet spell comes at once. A picture
// whose bytes pass the image budget could never be shown: its fetch stops
// there and the page shows the error picture, as it does for a picture whose
// fetch failed.
#pragma once

#include "image/image_limits.h"

#include <QPointer>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace lumo {

class TMainWindow;
class THTMLViewer;
class TMemoryStream;
class TStream;
class TURLConnection;
class Timer;

struct TImageRequest {
    QPointer<THTMLViewer> Viewer; // null once the viewer is gone
    std::string SRC;              // as the viewer asked: the key it inserts under
    std::string URL; // what is fetched and cached (the archive's copy while time travelling)
    std::unique_ptr<TMemoryStream> Stream;
};

class TImageFetch {
public:
    // The fetch fails once more than maxBytes arrive.
    TImageFetch(std::unique_ptr<TImageRequest> rec, int64_t maxBytes);
    ~TImageFetch();
    void Start();
    // More bytes came than the job would keep.
    bool TooLarge() const;

    std::unique_ptr<TImageRequest> Rec;
    std::unique_ptr<TURLConnection> Connection;
};

class TImageQueue {
public:
    static constexpr int MaxJobs = 10;
    static constexpr int TickMilliseconds = 100;
    // The most bytes a picture's fetch keeps; the budget of one decoded
    // picture, as for a local picture file.
    int64_t MaxPictureBytes = MaxImageBytes;

    explicit TImageQueue(TMainWindow& window);
    ~TImageQueue();
    TImageQueue(const TImageQueue&) = delete;
    TImageQueue& operator=(const TImageQueue&) = delete;

    // The answer to a viewer's picture request: the bytes, null, or the wait stream.
    void GetImageRequest(THTMLViewer* Sender, const std::string& SRC, TStream*& Stream);
    void StartImageJobs();
    void ImageRequestDone(TImageFetch* job, int status, uint16_t error);
    void TimerTimer();
    void ClearImageQueues();
    void ViewerClear(THTMLViewer* viewer);

    // Nothing queued, fetching or waiting to be inserted.
    bool Idle() const { return pending_.empty() && jobs_.empty() && finished_.empty(); }
    int RunningJobs() const { return static_cast<int>(jobs_.size()); }
    bool TimerEnabled() const;

private:
    // Counts a picture as settled and moves the gauge.
    void CountDone(int count = 1);
    enum class TTickTurn { Spaced, AtOnce };
    // Starts the timer for the next tick unless it runs: a tick keeps its
    // distance from the last unless it must come at once.
    void ScheduleTick(TTickTurn turn);
    void HandOverFinished();

    TMainWindow& window_;
    std::deque<std::unique_ptr<TImageRequest>> pending_;
    std::vector<std::unique_ptr<TImageFetch>> jobs_;
    std::deque<std::unique_ptr<TImageRequest>> finished_;
    std::unique_ptr<Timer> timer_;
    int64_t lastTick_ = 0; // TickCount() of the last tick
    // A local or built-in picture's own connection, kept until the next one,
    // so it never touches the document's.
    std::unique_ptr<TURLConnection> localConnection_;
    std::unique_ptr<TMemoryStream> cacheStream_;
};

} // namespace lumo
