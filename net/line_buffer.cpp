#include "net/line_buffer.h"

#include <algorithm>
#include <cstring>

namespace lumo {

char* TLineBuffer::Reserve(size_t n) {
    const size_t used = data_.size();
    data_.resize(used + n);
    reserved_ = n;
    return data_.data() + used;
}

void TLineBuffer::Commit(size_t n) {
    data_.resize(data_.size() - reserved_ + std::min(n, reserved_));
    reserved_ = 0;
}

void TLineBuffer::Append(std::string_view bytes) {
    data_.append(bytes);
}

void TLineBuffer::AppendEdited(std::string_view bytes, std::string_view lineEnd,
                               std::string* echo) {
    for (const char c : bytes) {
        if (c == '\b') {
            if (Size() > floor_) {
                data_.pop_back();
                // A line end may now begin in the bytes searched before.
                searched_ = std::min({searched_, Size(), SearchFrom(lineEnd.size())});
                if (echo) *echo += "\b \b";
            }
        } else if (c == '\t') {
            const size_t spaces = TabWidth - (Size() - floor_) % TabWidth;
            data_.append(spaces, ' ');
            if (echo) echo->append(spaces, ' ');
        } else {
            data_ += c;
            if (echo) *echo += c;
            if (!lineEnd.empty() && Size() - floor_ >= lineEnd.size() &&
                std::string_view(data_).substr(data_.size() - lineEnd.size()) == lineEnd)
                floor_ = Size();
        }
    }
}

size_t TLineBuffer::FindLine(std::string_view lineEnd, Final final) {
    if (line_ > 0) return line_;
    if (lineEnd != lineEnd_) {
        lineEnd_ = lineEnd;
        searched_ = 0;
    }
    const std::string_view waiting = Bytes();
    const size_t at = lineEnd.empty() ? std::string_view::npos
                                      : waiting.find(lineEnd, std::min(searched_, waiting.size()));
    if (at != std::string_view::npos) {
        line_ = at + lineEnd.size();
        searched_ = line_;
    } else {
        // A line end may begin in the last bytes and end in the next arrival.
        if (!lineEnd.empty()) searched_ = SearchFrom(lineEnd.size());
        if (final == Final::Yes || waiting.size() >= limit_) line_ = waiting.size();
    }
    // The line found is read as it came, however much of it is still
    // unread: a backspace arriving later never reaches into it.
    floor_ = std::max(floor_, line_);
    return line_;
}

size_t TLineBuffer::Read(char* out, size_t len, Lines lines) {
    const size_t n = std::min(len, lines == Lines::Yes ? line_ : Size());
    if (n == 0) return 0;
    std::memcpy(out, data_.data() + start_, n);
    line_ -= std::min(line_, n);
    Drop(n);
    return n;
}

// The first position where a line end of this size may still begin.
size_t TLineBuffer::SearchFrom(size_t lineEndSize) const {
    return Size() >= lineEndSize ? Size() - lineEndSize + 1 : 0;
}

void TLineBuffer::Drop(size_t n) {
    start_ += n;
    searched_ = searched_ > n ? searched_ - n : 0;
    floor_ = floor_ > n ? floor_ - n : 0;
    if (start_ == data_.size()) {
        data_.clear();
        start_ = 0;
    } else if (start_ > 4096 && start_ > data_.size() / 2) {
        data_.erase(0, start_);
        start_ = 0;
    }
}

void TLineBuffer::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    start_ = searched_ = floor_ = line_ = 0;
}

} // namespace lumo
