#include "net/http_response_reader.h"

#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace lumo {

namespace {
constexpr std::string_view StatusPrefix = "HTTP/";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}
} // namespace

THttpResponseReader::THttpResponseReader()
    : alive_(std::make_shared<bool>(true)), buffer_(BodyChunkSize + 1) {}

THttpResponseReader::~THttpResponseReader() {
    *alive_ = false;
}

template <class Event, class... Args>
bool THttpResponseReader::Raise(const Event& event, Args&&... args) {
    if (!event) return true;
    const auto alive = alive_;
    const Event handler = event;
    handler(std::forward<Args>(args)...);
    return *alive;
}

void THttpResponseReader::Reset() {
    held_ = headerBytes_ = lastBody_ = 0;
    started_ = inBody_ = hasStatusLine_ = stopped_ = false;
    failure_ = Failure::None;
    statusCode_ = 0;
    reasonPhrase_.clear();
    contentType_.clear();
    location_.clear();
    fieldName_.clear();
    fieldValue_.clear();
    contentLength_ = -1;
    locationSeen_ = chunked_ = false;
    chunks_.Reset();
    headerLines_ = 0;
}

const char* THttpResponseReader::FailureText(Failure f) {
    switch (f) {
    case Failure::None: return "";
    case Failure::LineTooLong: return "HTTP line too long";
    case Failure::HeaderTooLarge: return "HTTP header too large";
    case Failure::BadStatusLine: return "Invalid HTTP status line";
    case Failure::BadContentLength: return "Invalid Content-Length";
    case Failure::BadChunk: return "Invalid chunk in the document";
    }
    return "";
}

char* THttpResponseReader::Space(size_t& room) {
    const size_t limit = inBody_ ? BodyChunkSize : MaxLineLength;
    room = held_ < limit ? limit - held_ : 0;
    if (room == 0 && !stopped_) Fail(Failure::LineTooLong);
    return buffer_.data() + held_;
}

void THttpResponseReader::Feed(const char* data, size_t len) {
    const auto alive = alive_;
    while (len > 0 && !stopped_) {
        size_t room = 0;
        char* space = Space(room);
        if (room == 0) return;
        const size_t n = std::min(room, len);
        std::memcpy(space, data, n);
        Commit(n);
        if (!*alive) return;
        data += n;
        len -= n;
    }
}

void THttpResponseReader::Commit(size_t n) {
    if (stopped_ || n == 0) return;
    held_ += n;
    started_ = true;
    if (inBody_) return DeliverHeldAsBody();
    ProcessHeader();
}

void THttpResponseReader::EndOfInput() {
    if (stopped_ || inBody_ || headerLines_ > 0 || held_ == 0 || held_ >= StatusPrefix.size())
        return;
    if (contentType_.empty()) contentType_ = "text/html";
    EndHeader();
}

// The body begins with what is held.
void THttpResponseReader::EndHeader() {
    inBody_ = true;
    if (Raise(OnHeaderEnd) && !stopped_) DeliverHeldAsBody();
}

void THttpResponseReader::Fail(Failure f) {
    failure_ = f;
    stopped_ = true;
}

void THttpResponseReader::DeliverHeldAsBody() {
    if (chunked_) {
        held_ = chunks_.Decode(buffer_.data(), held_);
        if (chunks_.Failed()) return Fail(Failure::BadChunk);
    }
    if (held_ == 0) return;
    lastBody_ = held_;
    held_ = 0;
    Raise(OnBody, buffer_.data(), lastBody_);
}

void THttpResponseReader::ProcessHeader() {
    while (held_ > 0 && !stopped_ && !inBody_) {
        if (headerLines_ == 0) {
            // Without a status line there is no header: the bytes are the document.
            const size_t n = std::min(held_, StatusPrefix.size());
            if (!SameText(std::string_view(buffer_.data(), n), StatusPrefix.substr(0, n))) {
                if (contentType_.empty()) contentType_ = "text/html";
                return EndHeader();
            }
        }
        const char* lf = static_cast<const char*>(std::memchr(buffer_.data(), '\n', held_));
        if (!lf) return; // wait for the rest of the line
        const size_t end = static_cast<size_t>(lf - buffer_.data());
        headerBytes_ += end + 1;
        if (headerBytes_ > MaxHeaderSize) return Fail(Failure::HeaderTooLarge);
        size_t lineLength = end;
        if (lineLength > 0 && buffer_[lineLength - 1] == '\r') --lineLength;
        std::string line(buffer_.data(), lineLength);
        held_ -= end + 1;
        std::memmove(buffer_.data(), buffer_.data() + end + 1, held_);

        if (line.empty()) return EndHeader();
        if (!HeaderLine(line)) return;
    }
}

// False when the owner's handler freed the reader.
bool THttpResponseReader::HeaderLine(const std::string& line) {
    ++headerLines_;
    fieldName_.clear();
    fieldValue_.clear();
    if (headerLines_ == 1) {
        if (!ParseStatusLine(line, statusCode_, reasonPhrase_)) {
            Fail(Failure::BadStatusLine);
            return true;
        }
        hasStatusLine_ = true;
    } else {
        if (SplitField(line, fieldName_, fieldValue_)) {
            if (fieldName_ == "content-length") {
                int64_t n = -1;
                const auto [end, ec] =
                    std::from_chars(fieldValue_.data(), fieldValue_.data() + fieldValue_.size(), n);
                if (!AllDigits(fieldValue_) || ec != std::errc()) {
                    Fail(Failure::BadContentLength);
                    return true;
                }
                (void)end;
                if (!chunked_) contentLength_ = n;
            } else if (fieldName_ == "transfer-encoding") {
                // The chunks carry the length; a Content-Length beside them says nothing.
                const std::string_view coding = Trim(fieldValue_);
                chunked_ =
                    coding.size() >= 7 && SameText(coding.substr(coding.size() - 7), "chunked");
                if (chunked_) contentLength_ = -1;
            } else if (fieldName_ == "content-type") {
                contentType_ = LowerCase(fieldValue_);
            } else if (fieldName_ == "location") {
                locationSeen_ = true;
                location_ = fieldValue_;
            }
        }
    }
    return Raise(OnHeaderLine, line);
}

bool THttpResponseReader::SplitField(std::string_view line, std::string& name, std::string& value) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    name = LowerCase(Trim(line.substr(0, colon)));
    value = Trim(line.substr(colon + 1));
    return true;
}

bool THttpResponseReader::ParseStatusLine(std::string_view line, int& code, std::string& reason) {
    if (!StartsWithText(line, StatusPrefix)) return false;
    std::string_view rest = line.substr(StatusPrefix.size());
    const size_t space = rest.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view version = rest.substr(0, space);
    const size_t dot = version.find('.');
    if (!AllDigits(version.substr(0, dot)) ||
        (dot != std::string_view::npos && !AllDigits(version.substr(dot + 1))))
        return false;
    rest = TrimLeft(rest.substr(space));
    if (rest.size() < 3 || !AllDigits(rest.substr(0, 3)) || (rest.size() > 3 && rest[3] != ' '))
        return false;
    code = (rest[0] - '0') * 100 + (rest[1] - '0') * 10 + (rest[2] - '0');
    if (code < 100) return false;
    reason = rest.size() > 4 ? std::string(rest.substr(4)) : std::string();
    return true;
}

} // namespace lumo
