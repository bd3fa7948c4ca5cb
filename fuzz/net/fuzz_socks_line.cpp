// What a SOCKS server or a line-mode peer sends, in pieces whose sizes the
// input chooses. SOCKS replies are read as the socket reads them, asking
// only for what the reply still lacks; the reply buffer must never be
// asked to hold more than the longest reply. In line mode every byte must
// come out again, in order (without editing), and the buffer must stay
// within its limit.
#include "net/line_buffer.h"
#include "net/socks_protocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using lumo::TLineBuffer;
using lumo::TSocksPhase;
using lumo::TSocksReply;

void Check(bool ok) {
    if (!ok) std::abort();
}

void ReadReply(TSocksPhase phase, bool socks5, std::string_view input, size_t step) {
    std::string got;
    while (true) {
        const TSocksReply r = lumo::ReadSocksReply(phase, socks5, got);
        if (r.State == TSocksReply::Status::Failed)
            return Check(r.Error >= 20001 && r.Error <= 20016);
        if (r.State == TSocksReply::Status::Complete)
            return Check(got.size() <= lumo::MaxSocksReply);
        Check(r.Needed > got.size() && r.Needed <= lumo::MaxSocksReply);
        if (input.empty()) return;
        const size_t n = std::min({r.Needed - got.size(), step, input.size()});
        got.append(input.substr(0, n));
        input.remove_prefix(n);
    }
}

void ReadLines(std::string_view input, size_t step, size_t limit, bool edit) {
    const std::string_view all = input;
    TLineBuffer b(limit);
    std::string out, echo;
    char line[512];
    const std::string_view lineEnd = input.size() % 3 == 0 ? "\n" : "\r\n";
    while (!input.empty()) {
        const size_t n = std::min({step, input.size(), std::max<size_t>(b.Room(), 1)});
        if (edit)
            b.AppendEdited(input.substr(0, n), lineEnd, &echo);
        else
            b.Append(input.substr(0, n));
        input.remove_prefix(n);
        Check(b.Size() <= limit + TLineBuffer::TabWidth * n);
        while (const size_t len = b.FindLine(lineEnd)) {
            Check(len <= b.Size());
            for (size_t left = len; left > 0;) {
                const size_t got = b.Read(line, sizeof line, TLineBuffer::Lines::Yes);
                Check(got > 0 && got <= left);
                out.append(line, got);
                left -= got;
            }
        }
    }
    out += b.Bytes();
    if (!edit) Check(out == all);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const unsigned mode = data[0], step = 1 + data[1] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data + 2),
                                 std::min<size_t>(size - 2, 1 << 16));
    switch (mode % 5) {
    case 0: ReadReply(TSocksPhase::Greeting, true, input, step); break;
    case 1: ReadReply(TSocksPhase::Authenticating, true, input, step); break;
    case 2: ReadReply(TSocksPhase::Requesting, mode & 8, input, step); break;
    default: ReadLines(input, step, 16 + (mode >> 3) * 16, mode % 5 == 4); break;
    }
    return 0;
}
