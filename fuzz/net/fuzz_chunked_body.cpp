// A body in chunks, as a server sends it, arriving in pieces whose size the
// first byte chooses. Decoding it in pieces must give the same bytes and the
// same end as decoding it whole, never more bytes than came in, and a
// response reader fed the same body behind a header must hand on exactly
// those bytes (a start of them when the body is malformed: the reader stops
// at the piece that holds the fault).
#include "net/chunked_body.h"
#include "net/http_response_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using lumo::TChunkedBody;

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string DecodeInPieces(const std::string& input, size_t step, TChunkedBody& chunks) {
    std::string body;
    for (size_t at = 0; at < input.size(); at += step) {
        std::string piece = input.substr(at, step);
        const size_t n = chunks.Decode(piece.data(), piece.size());
        Check(n <= piece.size());
        body.append(piece.data(), n);
    }
    return body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t step = static_cast<size_t>(data[0] % 17) + 1;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

    TChunkedBody whole;
    std::string all = input;
    const std::string expected(all.data(), whole.Decode(all.data(), all.size()));

    TChunkedBody pieces;
    const std::string body = DecodeInPieces(input, step, pieces);
    Check(pieces.State() == whole.State());
    // A failure stops at the same byte, but a piece may have delivered the
    // bytes before it that the whole input delivered too.
    Check(body == expected);

    lumo::THttpResponseReader reader;
    std::string read;
    reader.OnBody = [&](const char* d, size_t n) { read.append(d, n); };
    const std::string response = "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + input;
    for (size_t at = 0; at < response.size(); at += step * 97)
        reader.Feed(response.data() + at, std::min(step * 97, response.size() - at));
    Check(whole.Failed() ? expected.starts_with(read) : read == expected);
    Check(reader.ChunksUnfinished() == !whole.Done());
    return 0;
}
