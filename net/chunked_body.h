// Decodes a body sent in chunks ("Transfer-Encoding: chunked"), as servers
// send it even to a request of HTTP/1.0: each chunk is its size in hex (with
// extensions after ";", ignored), a line end, that many bytes and a line end.
// A chunk of size 0 ends the body; the trailer lines after it are skipped up
// to the blank line. Sizes are bounded, so a malformed or hostile size line is
// an error, never a number that wraps or a wait for bytes that never come.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumo {

class TChunkedBody {
public:
    static constexpr uint64_t MaxChunkSize = uint64_t{1} << 32;
    // A size line with its extensions, and the whole trailer.
    static constexpr size_t MaxLineLength = 4096;
    static constexpr size_t MaxTrailerSize = 64 * 1024;

    enum class Status { More, Done, Failed };

    void Reset() { *this = TChunkedBody(); }

    // Decodes the next len bytes of the encoded body in place: the body bytes
    // they hold are moved to the start of data and their count returned.
    // Bytes after the end of the body are ignored.
    size_t Decode(char* data, size_t len);

    Status State() const { return status_; }
    bool Done() const { return status_ == Status::Done; }
    bool Failed() const { return status_ == Status::Failed; }

private:
    enum class Step { Size, Extension, SizeEnd, Data, DataEnd, Trailer, Finished };

    // Takes one byte of the framing; false when the body is malformed.
    bool Frame(char c);
    bool SizeDigit(char c);
    bool EndOfLine(char c, Step next);
    bool TrailerByte(char c);
    void Fail() { status_ = Status::Failed; }

    Step step_ = Step::Size;
    Status status_ = Status::More;
    uint64_t chunkLeft_ = 0;
    size_t sizeDigits_ = 0, lineLength_ = 0, trailerBytes_ = 0;
    bool sawCR_ = false, trailerText_ = false;
};

} // namespace lumo
