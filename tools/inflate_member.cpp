// Methods 0 and 8: stored members are copied, deflated ones go through zlib's
// raw inflate.
#include "tools/member_decoders.h"
#include "tools/member_stream.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace lumo {

struct TInflater::State {
    z_stream stream{};
    bool ready = false;
    std::vector<unsigned char> out;
};

TInflater::TInflater() : state_(std::make_unique<State>()) {
    state_->ready = inflateInit2(&state_->stream, -MAX_WBITS) == Z_OK;
    state_->out.resize(TMemberOutput::BufferSize);
}

TInflater::~TInflater() {
    if (state_->ready) inflateEnd(&state_->stream);
}

TUnzipResult TInflater::Inflate(TMemberInput& input, TMemberOutput& output) {
    z_stream& z = state_->stream;
    if (!state_->ready || inflateReset(&z) != Z_OK) return TUnzipResult::BadData;
    z.avail_in = 0; // nothing of the member before
    std::vector<unsigned char>& out = state_->out;
    int status = Z_OK;
    // Past the declared size the output refuses more, which ends the loop:
    // a stream longer than its record is never written out in full.
    while (status != Z_STREAM_END && output.Result() == TUnzipResult::Ok) {
        if (z.avail_in == 0) {
            const std::span<const unsigned char> piece = input.Next();
            // The data ended inside the deflate stream.
            if (piece.empty())
                return input.Failed() ? TUnzipResult::Damaged : TUnzipResult::BadData;
            z.next_in = const_cast<unsigned char*>(piece.data());
            z.avail_in = static_cast<uInt>(piece.size());
        }
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        const bool stuck = status == Z_BUF_ERROR && z.avail_in != 0;
        if (stuck || (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR))
            return TUnzipResult::BadData;
        const size_t produced = out.size() - z.avail_out;
        if (produced > 0 && !output.Put(out.data(), produced)) break;
    }
    return TUnzipResult::Ok;
}

TUnzipResult CopyStored(TMemberInput& input, TMemberOutput& output) {
    for (std::span<const unsigned char> piece = input.Next(); !piece.empty(); piece = input.Next())
        if (!output.Put(piece.data(), piece.size())) break;
    return input.Failed() ? TUnzipResult::Damaged : TUnzipResult::Ok;
}

bool MethodSupported(uint16_t method) {
    return method == 0 || method == 1 || method == 6 || method == 8;
}

} // namespace lumo
