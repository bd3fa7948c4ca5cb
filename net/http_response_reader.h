// Reads an HTTP/1.0 response as it arrives in pieces: the status line, the
// header lines up to the blank line, then the body, which is handed on as it
// comes. Sizes are bounded: a header line may hold 8 KiB, the whole header
// 64 KiB. A response that does not begin with a status line has no header;
// all of it, line ends included, is body. A body sent in chunks is decoded
// as it comes. Its owner may free it from inside any of its events.
#pragma once

#include "net/chunked_body.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class THttpResponseReader {
public:
    static constexpr size_t MaxLineLength = 8192;
    static constexpr size_t MaxHeaderSize = 64 * 1024;
    static constexpr size_t BodyChunkSize = 64 * 1024;

    enum class Failure {
        None,
        LineTooLong,
        HeaderTooLarge,
        BadStatusLine,
        BadContentLength,
        BadChunk
    };

    THttpResponseReader();
    ~THttpResponseReader();
    THttpResponseReader(const THttpResponseReader&) = delete;
    THttpResponseReader& operator=(const THttpResponseReader&) = delete;

    // Each header line (the status line included) without its line end, after
    // the reader has taken what it knows from it.
    std::function<void(const std::string& line)> OnHeaderLine;
    // The header has ended (at the blank line, or at once without a status line).
    std::function<void()> OnHeaderEnd;
    // A piece of the body.
    std::function<void(const char* data, size_t len)> OnBody;

    void Reset();

    // Where the next received bytes go and how many fit. No room (0) means a
    // header line is longer than a line may be: Failed() is then set.
    char* Space(size_t& room);
    // Takes n bytes written into Space, running the events they complete.
    void Commit(size_t n);
    // Feeds bytes from elsewhere, as Space and Commit would.
    void Feed(const char* data, size_t len);
    // The connection has ended. A few bytes too short to tell whether a status
    // line was coming are the whole (header-less) document.
    void EndOfInput();
    // Ignores everything after the current event: for an owner that closes early.
    void Stop() { stopped_ = true; }

    bool Stopped() const { return stopped_; }
    bool Started() const { return started_; }
    bool HasStatusLine() const { return hasStatusLine_; }
    Failure Failed() const { return failure_; }
    static const char* FailureText(Failure f);

    int StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    int64_t ContentLength() const { return contentLength_; } // -1 when none came or chunked
    bool Chunked() const { return chunked_; }
    // The body came in chunks and its last chunk has not arrived.
    bool ChunksUnfinished() const { return chunked_ && !chunks_.Done(); }
    const std::string& ContentType() const { return contentType_; } // lower-cased
    bool LocationSeen() const { return locationSeen_; }
    const std::string& Location() const { return location_; }
    int HeaderLineCount() const { return headerLines_; }
    // The header line being reported, split: its lower-cased name and trimmed
    // value; both empty for the status line and a line without ":".
    const std::string& FieldName() const { return fieldName_; }
    const std::string& FieldValue() const { return fieldValue_; }
    // The body piece handed on last, valid until more bytes are written into
    // Space; empty before the body.
    std::string_view LastBody() const { return {buffer_.data(), lastBody_}; }

    // Splits "Name: value" into the lower-cased name and the trimmed value.
    static bool SplitField(std::string_view line, std::string& name, std::string& value);
    // "HTTP/1.0 200 OK": the code and the reason; false when malformed.
    static bool ParseStatusLine(std::string_view line, int& code, std::string& reason);

private:
    // Runs an event from a copy; false when its handler freed the reader.
    template <class Event, class... Args>
    bool Raise(const Event& event, Args&&... args);
    void ProcessHeader();
    bool HeaderLine(const std::string& line);
    void EndHeader();
    void DeliverHeldAsBody();
    void Fail(Failure f);

    std::shared_ptr<bool> alive_;
    std::vector<char> buffer_;
    size_t held_ = 0;
    size_t lastBody_ = 0; // the last body piece still stands at the start of buffer_
    size_t headerBytes_ = 0;
    bool started_ = false, inBody_ = false, hasStatusLine_ = false, stopped_ = false;
    Failure failure_ = Failure::None;
    int statusCode_ = 0;
    std::string reasonPhrase_, contentType_, location_, fieldName_, fieldValue_;
    int64_t contentLength_ = -1;
    bool locationSeen_ = false, chunked_ = false;
    TChunkedBody chunks_;
    int headerLines_ = 0;
};

} // namespace lumo
