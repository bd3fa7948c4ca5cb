#include "platform/stream.h"

#include "platform/exception.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cstring>

#include <unistd.h>

namespace lumo {

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const size_t n = std::min(count, data_.size() - position_);
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    const char* bytes = static_cast<const char*>(buffer);
    if (position_ == data_.size()) {
        data_.append(bytes, count);
    } else {
        if (position_ + count > data_.size()) data_.resize(position_ + count);
        std::memcpy(data_.data() + position_, bytes, count);
    }
    position_ += count;
    return count;
}

void TMemoryStream::Seek(int64_t position) {
    position_ = static_cast<size_t>(std::clamp<int64_t>(position, 0, Size()));
}

void TMemoryStream::Clear() {
    // The memory goes too: a stream may have held a whole page.
    std::string().swap(data_);
    position_ = 0;
}

void TMemoryStream::Assign(std::string&& bytes) {
    data_ = std::move(bytes);
    position_ = data_.size();
}

size_t TNullStream::Write(const void*, size_t count) {
    size_ += static_cast<int64_t>(count);
    return count;
}

TFileStream::TFileStream(std::string_view ansiName, Mode mode) {
    file_ = std::fopen(NativePath(ansiName).c_str(), mode == Mode::Read ? "rb" : "wb+");
    if (!file_) throw Exception("Cannot open file " + std::string(ansiName));
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    return std::fread(buffer, 1, count, file_);
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    return std::fwrite(buffer, 1, count, file_);
}

int64_t TFileStream::Size() const {
    const long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end;
}

int64_t TFileStream::Position() const {
    return std::ftell(file_);
}

void TFileStream::Clear() {
    std::fflush(file_);
    if (ftruncate(fileno(file_), 0) != 0) return; // a file opened for reading stays as it is
    std::rewind(file_);
}

void TFileStream::Seek(int64_t position) {
    std::fseek(file_, static_cast<long>(std::clamp<int64_t>(position, 0, Size())), SEEK_SET);
}

} // namespace lumo
