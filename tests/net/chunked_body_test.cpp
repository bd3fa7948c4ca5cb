#include "net/chunked_body.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

using Status = TChunkedBody::Status;

// Decodes the encoded body in two pieces split at `split`.
std::string Decode(const std::string& encoded, size_t split, TChunkedBody& chunks) {
    std::string first = encoded.substr(0, split), second = encoded.substr(split);
    std::string body(first.data(), chunks.Decode(first.data(), first.size()));
    body.append(second.data(), chunks.Decode(second.data(), second.size()));
    return body;
}

TEST(ChunkedBody, DecodesWhereverTheBytesAreSplit) {
    const struct {
        const char* name;
        std::string encoded, body;
    } rows[] = {
        {"one chunk", "5\r\nhello\r\n0\r\n\r\n", "hello"},
        {"several sizes", "1\r\na\r\n10\r\n0123456789abcdef\r\nA\r\n0123456789\r\n0\r\n\r\n",
         "a0123456789abcdef0123456789"},
        {"upper-case hex and leading zeros", "00B\r\nhello world\r\n000\r\n\r\n", "hello world"},
        {"extensions", "5;name=value\r\nhello\r\n0;last\r\n\r\n", "hello"},
        {"trailers skipped", "3\r\nabc\r\n0\r\nX-Sum: 1\r\nX-Other: 2\r\n\r\n", "abc"},
        {"bare line feeds", "3\nabc\n0\n\n", "abc"},
        {"line ends inside the data", "4\r\n\r\n\r\n\r\n0\r\n\r\n", "\r\n\r\n"},
        {"bytes after the end ignored", "2\r\nok\r\n0\r\n\r\nHTTP/1.0 200 OK\r\n", "ok"},
    };
    for (const auto& r : rows)
        for (size_t split = 0; split <= r.encoded.size(); ++split) {
            TChunkedBody chunks;
            EXPECT_EQ(Decode(r.encoded, split, chunks), r.body) << r.name << " at " << split;
            EXPECT_EQ(chunks.State(), Status::Done) << r.name << " at " << split;
        }
}

TEST(ChunkedBody, MalformedFramingFailsAndNeverWaits) {
    const struct {
        const char* name;
        std::string encoded;
    } rows[] = {
        {"not hex", "zz\r\nhello\r\n"},
        {"empty size line", "\r\nhello\r\n"},
        {"sign", "-5\r\nhello\r\n"},
        {"data longer than its size", "3\r\nhello\r\n0\r\n\r\n"},
        {"CR without LF", "3\rabc\r\n"},
        {"more than 16 digits", "00000000000000001\r\nx\r\n"},
        {"past the chunk limit", "100000001\r\n"},
        {"endless size line", "5;" + std::string(5000, 'x')},
        {"endless trailer", "0\r\n" + std::string(70 * 1024, 'x')},
    };
    for (const auto& r : rows) {
        std::string bytes = r.encoded;
        TChunkedBody chunks;
        chunks.Decode(bytes.data(), bytes.size());
        EXPECT_EQ(chunks.State(), Status::Failed) << r.name;
    }
}

TEST(ChunkedBody, ABodyCutShortIsNotDone) {
    const std::string encoded = "5\r\nhello\r\n5\r\nworld\r\n0\r\n\r\n";
    for (size_t cut = 0; cut + 1 < encoded.size(); ++cut) {
        std::string bytes = encoded.substr(0, cut);
        TChunkedBody chunks;
        chunks.Decode(bytes.data(), bytes.size());
        EXPECT_EQ(chunks.State(), Status::More) << "cut at " << cut;
    }
}

} // namespace
} // namespace lumo
