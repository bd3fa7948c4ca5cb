// The received bytes of a socket in line mode: what has arrived and not yet
// been read, searched for line ends without going over a byte twice, with
// optional editing (backspace, tab) into the buffer's own storage. Lines are
// taken from the front in constant time; the storage is compacted only when
// the taken part outweighs the rest, so taking n lines costs O(n) in all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace lumo {

class TLineBuffer {
public:
    // A peer that never sends a line end gets its bytes delivered as a line
    // once this many are waiting.
    static constexpr size_t DefaultLimit = 64 * 1024;
    // A tab grows to at most this many spaces.
    static constexpr size_t TabWidth = 8;

    explicit TLineBuffer(size_t limit = DefaultLimit) : limit_(limit) {}

    size_t Size() const { return data_.size() - start_; }
    std::string_view Bytes() const { return std::string_view(data_).substr(start_); }
    size_t Limit() const { return limit_; }
    void SetLimit(size_t limit) { limit_ = limit < 1 ? 1 : limit; }
    // Bytes that may still arrive before the limit is reached.
    size_t Room() const { return Size() < limit_ ? limit_ - Size() : 0; }

    // Room for n bytes at the end, to be received into; Commit keeps the
    // first n of them.
    char* Reserve(size_t n);
    void Commit(size_t n);
    void Append(std::string_view bytes);
    // Appends bytes as typed: a backspace takes back the byte before it
    // (never one of an earlier line), a tab becomes spaces up to the next
    // multiple of TabWidth columns. Adds what a terminal should be sent back
    // to echo when it is given.
    void AppendEdited(std::string_view bytes, std::string_view lineEnd, std::string* echo);

    // The length of the first line with its end, 0 while none is complete.
    // At the limit, or with Final::Yes, whatever is waiting counts as a line.
    enum class Final { No, Yes };
    size_t FindLine(std::string_view lineEnd, Final final = Final::No);
    // The length of the line found last and not yet read, 0 when none.
    size_t LineLeft() const { return line_; }
    // Reads at most len bytes of the line found (Lines::Yes) or of whatever
    // is waiting (Lines::No); they leave the buffer.
    enum class Lines { No, Yes };
    size_t Read(char* out, size_t len, Lines lines);
    // The line found leaves the buffer unread.
    void DiscardLine() { Drop(std::exchange(line_, 0)); }
    void Clear();

private:
    void Drop(size_t n);
    size_t SearchFrom(size_t lineEndSize) const;

    std::string data_;
    size_t start_ = 0;    // bytes before it are read
    size_t searched_ = 0; // from start_: where the next search for a line end begins
    size_t floor_ = 0;    // from start_: editing never reaches before it
    size_t line_ = 0;     // the line found and not yet read
    std::string lineEnd_; // the line end searched for last
    size_t reserved_ = 0;
    size_t limit_;
};

} // namespace lumo
