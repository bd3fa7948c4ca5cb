#include "tools/member_stream.h"

#include "tools/archive_file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace lumo {

TMemberInput::TMemberInput(TArchiveFile& file, uint64_t start, uint64_t length)
    : file_(file), offset_(start), remaining_(length) {}

std::span<const unsigned char> TMemberInput::Next() {
    if (remaining_ == 0 || failed_) return {};
    const size_t length = static_cast<size_t>(std::min<uint64_t>(remaining_, ChunkSize));
    buffer_.resize(std::max(buffer_.size(), length));
    if (!file_.ReadAt(offset_, buffer_.data(), length)) {
        failed_ = true;
        return {};
    }
    offset_ += length;
    remaining_ -= length;
    return {buffer_.data(), length};
}

void TBitReader::Refill() {
    if (piece_.empty()) piece_ = input_.Next();
    if (piece_.empty()) {
        padding_ += 8;
    } else {
        bits_ |= uint64_t{piece_.front()} << count_;
        piece_ = piece_.subspan(1);
    }
    count_ += 8;
}

TMemberOutput::TMemberOutput(uint64_t declaredSize, TWrite write, TWritten written,
                             const bool* cancel)
    : declared_(declaredSize), room_(declaredSize), write_(std::move(write)),
      written_(std::move(written)), cancel_(cancel),
      buffer_(static_cast<size_t>(std::min<uint64_t>(declaredSize, BufferSize))) {}

void TMemberOutput::Stop(TUnzipResult why) {
    if (result_ == TUnzipResult::Ok) result_ = why;
    room_ = 0;
}

bool TMemberOutput::Store(const unsigned char* data, size_t length) {
    if (length == 0) return true;
    if (cancel_ && *cancel_) {
        Stop(TUnzipResult::Cancelled);
        return false;
    }
    crc_ = static_cast<uint32_t>(crc32_z(crc_, data, length));
    if (!write_(data, length)) {
        Stop(TUnzipResult::WriteError);
        return false;
    }
    if (written_) written_(length);
    return true;
}

bool TMemberOutput::Flush() {
    const size_t length = used_;
    used_ = 0;
    return Store(buffer_.data(), length);
}

bool TMemberOutput::Put(const unsigned char* data, size_t length) {
    if (result_ != TUnzipResult::Ok) return false;
    const size_t take = static_cast<size_t>(std::min<uint64_t>(length, room_));
    room_ -= take;
    produced_ += take;
    if (used_ == 0 && take >= buffer_.size()) {
        if (!Store(data, take)) return false;
    } else {
        for (size_t done = 0; done < take;) {
            if (used_ == buffer_.size() && !Flush()) return false;
            const size_t piece = std::min(take - done, buffer_.size() - used_);
            std::memcpy(buffer_.data() + used_, data + done, piece);
            used_ += piece;
            done += piece;
        }
    }
    // More data than the directory declares: what fits is kept, the rest refused.
    if (take < length) Stop(TUnzipResult::BadSize);
    return result_ == TUnzipResult::Ok;
}

TUnzipResult TMemberOutput::Finish(uint32_t expectedCrc) {
    if (result_ == TUnzipResult::Ok) Flush();
    if (result_ != TUnzipResult::Ok) return result_;
    if (produced_ != declared_) return TUnzipResult::BadSize;
    if (crc_ != expectedCrc) return TUnzipResult::BadCrc;
    return TUnzipResult::Ok;
}

} // namespace lumo
