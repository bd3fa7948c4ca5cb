// Response bytes, cut into pieces at points taken from the input itself, go
// through the reader the HTTP client receives with. The body must come out
// as it went in, and nothing may be read beyond the header limits.
#include "net/http_response_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte chooses the piece sizes; the rest is the response.
    const unsigned seed = data[0];
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size = std::min<size_t>(size - 1, 1 << 20);

    lumo::THttpResponseReader reader;
    size_t headerLines = 0, bodyBytes = 0;
    bool ended = false;
    reader.OnHeaderLine = [&](const std::string& line) {
        if (line.size() > lumo::THttpResponseReader::MaxLineLength) std::abort();
        ++headerLines;
    };
    reader.OnHeaderEnd = [&] { ended = true; };
    reader.OnBody = [&](const char*, size_t n) {
        if (!ended) std::abort();
        bodyBytes += n;
    };
    size_t at = 0, step = 1 + seed % 17;
    while (at < size && !reader.Stopped()) {
        size_t room = 0;
        char* space = reader.Space(room);
        if (room == 0) break;
        const size_t n = std::min({room, size - at, step});
        std::copy(bytes + at, bytes + at + n, space);
        reader.Commit(n);
        at += n;
        step = 1 + (step * 31 + seed) % 4096;
    }
    reader.EndOfInput();
    if (bodyBytes > size) std::abort();
    if (!reader.HasStatusLine() && headerLines > 0) std::abort();
    return 0;
}
