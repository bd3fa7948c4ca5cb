#include "net/chunked_body.h"

#include <algorithm>
#include <cstring>

namespace lumo {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

size_t TChunkedBody::Decode(char* data, size_t len) {
    size_t out = 0;
    for (size_t in = 0; in < len && status_ == Status::More;) {
        if (step_ != Step::Data) {
            if (!Frame(data[in++])) Fail();
            continue;
        }
        const size_t n = static_cast<size_t>(std::min<uint64_t>(chunkLeft_, len - in));
        std::memmove(data + out, data + in, n);
        out += n;
        in += n;
        chunkLeft_ -= n;
        if (chunkLeft_ == 0) step_ = Step::DataEnd;
    }
    return out;
}

bool TChunkedBody::Frame(char c) {
    if (++lineLength_ > MaxLineLength) return false;
    switch (step_) {
    case Step::Size:
        if (HexValue(c) >= 0) return SizeDigit(c);
        if (sizeDigits_ == 0) return false;
        if (c == ';' || c == ' ' || c == '\t') {
            step_ = Step::Extension;
            return true;
        }
        return EndOfLine(c, chunkLeft_ == 0 ? Step::Trailer : Step::Data);
    case Step::Extension:
        if (c != '\r' && c != '\n') return true;
        return EndOfLine(c, chunkLeft_ == 0 ? Step::Trailer : Step::Data);
    case Step::SizeEnd:
        return c == '\n' && EndOfLine(c, chunkLeft_ == 0 ? Step::Trailer : Step::Data);
    case Step::DataEnd: return EndOfLine(c, Step::Size);
    case Step::Trailer: return TrailerByte(c);
    case Step::Data:
    case Step::Finished: return true;
    }
    return false;
}

bool TChunkedBody::SizeDigit(char c) {
    if (++sizeDigits_ > 16) return false;
    chunkLeft_ = chunkLeft_ * 16 + static_cast<uint64_t>(HexValue(c));
    return chunkLeft_ <= MaxChunkSize;
}

// A line ends with CR LF or a bare LF; after a CR only the LF may come.
bool TChunkedBody::EndOfLine(char c, Step next) {
    if (c == '\r' && !sawCR_) {
        sawCR_ = true;
        if (step_ == Step::Size || step_ == Step::Extension) step_ = Step::SizeEnd;
        return true;
    }
    if (c != '\n') return false;
    sawCR_ = false;
    lineLength_ = 0;
    sizeDigits_ = 0;
    step_ = next;
    return true;
}

// Trailer lines are skipped; the blank line after them ends the body.
bool TChunkedBody::TrailerByte(char c) {
    if (++trailerBytes_ > MaxTrailerSize) return false;
    if (c != '\n') {
        trailerText_ = trailerText_ || c != '\r';
        return true;
    }
    if (!trailerText_) {
        step_ = Step::Finished;
        status_ = Status::Done;
    }
    trailerText_ = false;
    lineLength_ = 0;
    return true;
}

} // namespace lumo
