// Inputs cut short: every prefix of a reader's input, each in a heap buffer
// of exactly its length, so a reader that looks one byte past what it was
// given is caught by the address sanitizer rather than reading the rest of
// the original.
#pragma once

#include <algorithm>
#include <memory>
#include <string_view>

namespace lumo::test {

// Calls read(prefix, length) for every prefix of bytes, the empty one and
// the whole included.
template <class Read>
void ForEachPrefix(std::string_view bytes, Read read) {
    for (size_t length = 0; length <= bytes.size(); ++length) {
        const auto buffer = std::make_unique<char[]>(length);
        std::copy_n(bytes.data(), length, buffer.get());
        read(std::string_view(buffer.get(), length), length);
    }
}

} // namespace lumo::test
