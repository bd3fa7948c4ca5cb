#include "net/send_buffer.h"

#include <algorithm>
#include <cstring>

namespace lumo {

TSendBuffer::TSendBuffer(int size) : data_(static_cast<size_t>(size > 0 ? size : DefaultSize)) {}

void TSendBuffer::SetSize(int size) {
    if (size <= 0) size = DefaultSize;
    std::vector<char> fresh(static_cast<size_t>(size));
    const int keep = std::min(writePos_ - readPos_, size);
    if (keep > 0) std::memcpy(fresh.data(), data_.data() + readPos_, static_cast<size_t>(keep));
    data_ = std::move(fresh);
    readPos_ = 0;
    writePos_ = std::max(keep, 0);
}

int TSendBuffer::Write(const void* data, int len) {
    const int n = std::clamp(Size() - writePos_, 0, std::max(len, 0));
    if (n > 0) std::memcpy(data_.data() + writePos_, data, static_cast<size_t>(n));
    writePos_ += n;
    return n;
}

const char* TSendBuffer::Peek(int& len) const {
    len = writePos_ - readPos_;
    return len > 0 ? data_.data() + readPos_ : nullptr;
}

void TSendBuffer::Remove(int len) {
    readPos_ += std::clamp(len, 0, writePos_ - readPos_);
    if (readPos_ == writePos_) readPos_ = writePos_ = 0;
}

} // namespace lumo
