// The two ends of a member's decoder: its compressed bytes, read from the
// archive only within the member's recorded size, and its output, which stops
// at the recorded size and sums the CRC-32 on the way.
#pragma once

#include "tools/unzip_codes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace lumo {

class TArchiveFile;

class TMemberInput {
public:
    TMemberInput(TArchiveFile& file, uint64_t start, uint64_t length);

    // The next piece of the data, empty at its end. Failed() tells a read
    // error from the end.
    std::span<const unsigned char> Next();
    bool Failed() const { return failed_; }
    uint64_t Remaining() const { return remaining_; }

    static constexpr size_t ChunkSize = 256 * 1024;

private:
    TArchiveFile& file_;
    uint64_t offset_;
    uint64_t remaining_;
    std::vector<unsigned char> buffer_;
    bool failed_ = false;
};

// Reads bits from the lowest bit of each byte up, as shrink and implode store
// them. Reading past the end yields zero bits and marks the reader overrun,
// so a decoder needs no end checks in its inner loop.
class TBitReader {
public:
    explicit TBitReader(TMemberInput& input) : input_(input) {}

    // The next n bits (n <= 32) without taking them.
    uint32_t Peek(int n) {
        while (count_ < n)
            Refill();
        return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
    }
    void Drop(int n) {
        bits_ >>= n;
        count_ -= n;
        if (count_ < padding_) overrun_ = true;
    }
    uint32_t Read(int n) {
        const uint32_t value = Peek(n);
        Drop(n);
        return value;
    }
    // Whether more bits were taken than the data holds.
    bool Overrun() const { return overrun_; }

private:
    void Refill();

    TMemberInput& input_;
    std::span<const unsigned char> piece_;
    uint64_t bits_ = 0;
    int count_ = 0;
    int padding_ = 0; // zero bits added past the end, at the top of bits_
    bool overrun_ = false;
};

class TMemberOutput {
public:
    // write takes each full buffer; it returns false when the bytes could not
    // be stored. written reports each piece stored; it may be empty.
    using TWrite = std::function<bool(const unsigned char* data, size_t length)>;
    using TWritten = std::function<void(size_t length)>;

    TMemberOutput(uint64_t declaredSize, TWrite write, TWritten written,
                  const bool* cancel = nullptr);

    // Takes decoded bytes. Only what fits in the declared size is kept; false
    // once the output has stopped (too much data, a write error, a cancel), and
    // Result() says why.
    bool Put(const unsigned char* data, size_t length);
    bool Put(unsigned char byte) {
        if (used_ < buffer_.size() && room_ > 0) {
            buffer_[used_++] = byte;
            --room_;
            ++produced_;
            return true;
        }
        return Put(&byte, 1);
    }

    // Whether every declared byte has come.
    bool Full() const { return produced_ == declared_ && result_ == TUnzipResult::Ok; }
    // Whether the output takes no more bytes: full or stopped.
    bool Closed() const { return room_ == 0; }
    uint64_t Produced() const { return produced_; }

    // Writes what is buffered and checks the size and the CRC-32.
    TUnzipResult Finish(uint32_t expectedCrc);
    TUnzipResult Result() const { return result_; }

    static constexpr size_t BufferSize = 256 * 1024;

private:
    bool Flush();
    bool Store(const unsigned char* data, size_t length);

    void Stop(TUnzipResult why);

    uint64_t declared_;
    uint64_t produced_ = 0; // bytes accepted
    uint64_t room_;         // bytes still accepted: the rest of the declared size, 0 once stopped
    TWrite write_;
    TWritten written_;
    const bool* cancel_;
    std::vector<unsigned char> buffer_;
    size_t used_ = 0;
    uint32_t crc_ = 0;
    TUnzipResult result_ = TUnzipResult::Ok;
};

} // namespace lumo
