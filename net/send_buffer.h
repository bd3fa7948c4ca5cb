// One block of a socket's send queue.
#pragma once

#include <cstddef>
#include <vector>

namespace lumo {

class TSendBuffer {
public:
    static constexpr int DefaultSize = 1514;

    // A size of 0 or less asks for the default.
    explicit TSendBuffer(int size = DefaultSize);

    int Size() const { return static_cast<int>(data_.size()); }
    // Reallocates; the unsent bytes are kept when they fit.
    void SetSize(int size);

    // Copies as much as fits after the bytes stored; returns the count copied.
    int Write(const void* data, int len);
    // The first unsent byte and the count of unsent bytes (nullptr and 0 when empty).
    const char* Peek(int& len) const;
    // Marks at most the unsent count as sent; an emptied block starts again at 0.
    void Remove(int len);
    bool Empty() const { return readPos_ == writePos_; }
    bool Full() const { return writePos_ == Size(); }

private:
    std::vector<char> data_;
    int writePos_ = 0, readPos_ = 0;
};

} // namespace lumo
