#include "app/image_queue.h"

#include "address/address.h"
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "layout/picture_source.h"
#include "net/disk_cache.h"
#include "net/file_connection.h"
#include "net/url_connection.h"
#include "platform/file_system.h"
#include "platform/message_loop.h"
#include "platform/stream.h"
#include "platform/timer.h"
#include "viewer/html_viewer.h"

#include <algorithm>

namespace lumo {

namespace {

// A picture's bytes, refused past a limit: the HTTP client then ends the
// fetch as one whose document could not be stored.
class TPictureStream : public TMemoryStream {
public:
    explicit TPictureStream(int64_t limit) : limit_(limit) {}
    size_t Write(const void* buffer, size_t count) override {
        if (static_cast<int64_t>(count) > limit_ - Size()) {
            tooLarge_ = true;
            return 0;
        }
        return TMemoryStream::Write(buffer, count);
    }
    using TMemoryStream::Write;
    bool TooLarge() const { return tooLarge_; }

private:
    int64_t limit_;
    bool tooLarge_ = false;
};

} // namespace

TImageFetch::TImageFetch(std::unique_ptr<TImageRequest> rec, int64_t maxBytes)
    : Rec(std::move(rec)) {
    Rec->Stream = std::make_unique<TPictureStream>(maxBytes);
    Connection = TURLConnection::CreateForURL(Rec->URL);
    if (Connection) Connection->UseStream(Rec->Stream.get());
}

bool TImageFetch::TooLarge() const {
    return static_cast<const TPictureStream&>(*Rec->Stream).TooLarge();
}

TImageFetch::~TImageFetch() {
    // The connection goes first: it writes into the record's stream.
    Connection.reset();
}

void TImageFetch::Start() {
    Connection->GetAsync(Rec->URL);
}

TImageQueue::TImageQueue(TMainWindow& window)
    : window_(window), timer_(std::make_unique<Timer>()),
      cacheStream_(std::make_unique<TMemoryStream>()) {
    timer_->SetInterval(TickMilliseconds);
    timer_->OnTimer = [this] { TimerTimer(); };
}

TImageQueue::~TImageQueue() {
    timer_->SetEnabled(false);
    ClearImageQueues();
}

bool TImageQueue::TimerEnabled() const {
    return timer_->Enabled();
}

void TImageQueue::GetImageRequest(THTMLViewer* Sender, const std::string& SRC, TStream*& Stream) {
    Stream = nullptr;
    std::string fileName;
    int kind = ckHTML;
    // A picture an open web archive holds comes from it; otherwise, while
    // time travelling, from the web archive of the same date as its page.
    const bool fromArchive = window_.ServedFromArchive(SRC);
    const std::string fetched = fromArchive ? SRC : window_.TimeTravel().FetchAddress(SRC);
    if (window_.Reloading) {
        window_.DiskCache().Remove(fetched);
    } else if (!fromArchive && window_.DiskCache().Lookup(fetched, fileName, kind) &&
               kind == ckImage) {
        if (auto bytes = ReadWholeFile(fileName, TFileConnection::MaxFileSize)) {
            cacheStream_->Assign(std::move(*bytes));
            Stream = cacheStream_.get();
            window_.NoteFetchSecurity(fetched, false, {});
            return;
        }
    }
    const std::string scheme = SchemeOf(SRC);
    if ((scheme != "http" && scheme != "https") || fromArchive) {
        localConnection_.reset();
        try {
            localConnection_ = window_.CreateConnection(SRC);
            if (!localConnection_) return;
            localConnection_->Get(SRC);
            Stream = localConnection_->ContentStream();
        } catch (const std::exception&) {
            Stream = nullptr; // a local picture that cannot be read just stays absent
        }
        return;
    }
    Stream = &WaitStream();
    auto rec = std::make_unique<TImageRequest>();
    rec->Viewer = Sender;
    rec->SRC = SRC;
    rec->URL = fetched;
    pending_.push_back(std::move(rec));
    ++window_.ImagesTotal;
    window_.ShowProgress(window_.ImagesDone, window_.ImagesTotal);
    StartImageJobs();
}

void TImageQueue::StartImageJobs() {
    if (pending_.empty() && jobs_.empty()) {
        if (finished_.empty()) window_.CheckDone();
        return;
    }
    while (!pending_.empty() && static_cast<int>(jobs_.size()) < MaxJobs) {
        auto job = std::make_unique<TImageFetch>(std::move(pending_.front()), MaxPictureBytes);
        pending_.pop_front();
        if (!job->Connection) {
            CountDone();
            continue;
        }
        TImageFetch* raw = job.get();
        TURLConnection& c = *job->Connection;
        c.OnRequestDone = [this, raw](TURLConnection&, THttpRequest, uint16_t error) {
            ImageRequestDone(raw, raw->Connection->StatusCode(), error);
        };
        window_.UseProxies(c);
        jobs_.push_back(std::move(job));
        window_.SetBusy();
        raw->Start();
    }
}

void TImageQueue::ImageRequestDone(TImageFetch* job, int status, uint16_t error) {
    auto it =
        std::find_if(jobs_.begin(), jobs_.end(), [job](const auto& j) { return j.get() == job; });
    if (it == jobs_.end()) return;
    std::unique_ptr<TImageFetch> done = std::move(*it);
    jobs_.erase(it);
    if (done->TooLarge() || error != 0 || status >= 400) {
        // No picture came (too large to show, or an error page, which is
        // no picture): the page gets no bytes, which show as the error
        // picture, and nothing is cached.
        done->Connection.reset(); // it writes into the stream given up here
        done->Rec->Stream = std::make_unique<TMemoryStream>();
        finished_.push_back(std::move(done->Rec));
    } else {
        // Copied into the cache now, while the other fetches are on their
        // way, so the tick only hands pictures over.
        window_.DiskCache().Store(done->Rec->URL, ckImage, done->Rec->Stream->Bytes());
        window_.NoteFetchSecurity(done->Rec->URL, false, {});
        finished_.push_back(std::move(done->Rec));
    }
    done.reset();
    StartImageJobs();
    if (finished_.empty()) return;
    // The last picture of the queue need not wait for the next tick's turn.
    ScheduleTick(pending_.empty() && jobs_.empty() ? TTickTurn::AtOnce : TTickTurn::Spaced);
}

void TImageQueue::ScheduleTick(TTickTurn turn) {
    if (turn == TTickTurn::AtOnce) {
        timer_->SetInterval(0);
        timer_->SetEnabled(true);
        return;
    }
    if (timer_->Enabled()) return;
    // Ticks keep their distance, but after a quiet spell the first comes at once.
    const int64_t since = TickCount() - lastTick_;
    timer_->SetInterval(
        static_cast<int>(std::clamp<int64_t>(TickMilliseconds - since, 0, TickMilliseconds)));
    timer_->SetEnabled(true);
}

void TImageQueue::TimerTimer() {
    timer_->SetEnabled(false);
    lastTick_ = TickCount();
    HandOverFinished();
    if (Idle())
        window_.CheckDone();
    else if (!finished_.empty())
        ScheduleTick(TTickTurn::Spaced);
}

void TImageQueue::HandOverFinished() {
    std::vector<QPointer<THTMLViewer>> receivers;
    int handed = 0;
    while (!finished_.empty()) {
        TImageRequest& rec = *finished_.front();
        // A viewer that is gone takes nothing; a busy one holds back its
        // picture and those after it until the next tick.
        if (rec.Viewer) {
            if (!rec.Viewer->TakeImage(rec.SRC, *rec.Stream)) break;
            if (std::find(receivers.begin(), receivers.end(), rec.Viewer) == receivers.end())
                receivers.push_back(rec.Viewer);
        }
        finished_.pop_front();
        ++handed;
    }
    for (const QPointer<THTMLViewer>& viewer : receivers)
        if (viewer) viewer->SettleImages();
    // The gauge, repainted at once, paints the window's other changes with
    // it: it moves once for the tick's pictures, after their pages are laid
    // out, not once for each picture over a page still waiting for them.
    if (handed > 0) CountDone(handed);
}

void TImageQueue::CountDone(int count) {
    window_.ImagesDone += count;
    window_.ShowProgress(window_.ImagesDone, window_.ImagesTotal);
}

void TImageQueue::ClearImageQueues() {
    pending_.clear();
    jobs_.clear();
    finished_.clear();
    timer_->SetEnabled(false);
}

void TImageQueue::ViewerClear(THTMLViewer* viewer) {
    auto ofViewer = [viewer](const std::unique_ptr<TImageRequest>& rec) {
        return rec->Viewer == viewer;
    };
    std::erase_if(pending_, ofViewer);
    std::erase_if(jobs_,
                  [&](const std::unique_ptr<TImageFetch>& job) { return ofViewer(job->Rec); });
    std::erase_if(finished_, ofViewer);
}

} // namespace lumo
