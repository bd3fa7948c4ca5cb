#include "net/socks_protocol.h"

#include "tests/support/cut_input.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

using Status = TSocksReply::Status;

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

TEST(SocksProtocol, Requests) {
    EXPECT_EQ(Socks5Greeting(false), Bytes({5, 1, 0}));
    EXPECT_EQ(Socks5Greeting(true), Bytes({5, 1, 2}));
    EXPECT_EQ(Socks5Authentication("ab", "xyz"), Bytes({1, 2, 'a', 'b', 3, 'x', 'y', 'z'}));
    EXPECT_EQ(Socks5Request("h.test", 8080),
              Bytes({5, 1, 0, 3, 6}) + "h.test" + Bytes({0x1F, 0x90}));
    const uint32_t address = 127 | 2u << 24; // 127.0.0.2 in network order
    EXPECT_EQ(Socks4Request(80, address, "me"), Bytes({4, 1, 0, 80, 127, 0, 0, 2}) + "me" + '\0');
    EXPECT_EQ(Socks4Request(443, address, "", "a.test"),
              Bytes({4, 1, 1, 0xBB, 0, 0, 0, 1, 0}) + "a.test" + '\0');
}

struct Row {
    TSocksPhase phase;
    bool socks5;
    std::string bytes;
    Status status;
    int error; // or, while more is needed, the length known so far
    const char* message;
};

TEST(SocksProtocol, Replies) {
    const auto G = TSocksPhase::Greeting, A = TSocksPhase::Authenticating,
               R = TSocksPhase::Requesting;
    const Row rows[] = {
        // greeting
        {G, true, "", Status::NeedMore, 2, ""},
        {G, true, Bytes({5}), Status::NeedMore, 2, ""},
        {G, true, Bytes({5, 0}), Status::Complete, 0, ""},
        {G, true, Bytes({5, 2}), Status::Complete, 0, ""},
        {G, true, Bytes({4, 0}), Status::Failed, 20002, "socks version error"},
        {G, true, Bytes({5, 0xFF}), Status::Failed, 20003,
         "authentification method not acceptable"},
        {G, false, Bytes({0}), Status::Failed, 20001, "TSocket logic error"},
        // user name and password
        {A, true, Bytes({1}), Status::NeedMore, 2, ""},
        {A, true, Bytes({1, 0}), Status::Complete, 0, ""},
        {A, true, Bytes({5, 0}), Status::Failed, 20002, "socks version error"},
        {A, true, Bytes({1, 1}), Status::Failed, 20015, "socks authentication failed"},
        // SOCKS 4 and 4A
        {R, false, Bytes({0, 90, 0, 80}), Status::NeedMore, 8, ""},
        {R, false, Bytes({0, 90, 0, 80, 1, 2, 3, 4}), Status::Complete, 0, ""},
        {R, false, Bytes({0, 91, 0, 0, 0, 0, 0, 0}), Status::Failed, 20016,
         "request rejected or failed"},
        {R, false, Bytes({0, 93, 0, 0, 0, 0, 0, 0}), Status::Failed, 20015,
         "authentification failed"},
        {R, false, Bytes({0, 94, 0, 0, 0, 0, 0, 0}), Status::Failed, 20012, "unassigned error #94"},
        {R, false, Bytes({0, 89, 0, 0, 0, 0, 0, 0}), Status::Failed, 20012, "unassigned error #89"},
        {R, false, Bytes({4, 90, 0, 0, 0, 0, 0, 0}), Status::Failed, 20002, "socks version error"},
        // SOCKS 5: failures are known from the second byte
        {R, true, Bytes({5}), Status::NeedMore, 5, ""},
        {R, true, Bytes({4}), Status::Failed, 20002, "socks version error"},
        {R, true, Bytes({5, 1}), Status::Failed, 20004, "general SOCKS server failure"},
        {R, true, Bytes({5, 2}), Status::Failed, 20005, "connection not allowed by ruleset"},
        {R, true, Bytes({5, 8}), Status::Failed, 20011, "address type not supported"},
        {R, true, Bytes({5, 9}), Status::Failed, 20012, "unassigned error #9"},
        {R, true, Bytes({5, 0, 0, 1, 10}), Status::NeedMore, 10, ""},
        {R, true, Bytes({5, 0, 0, 3, 4}), Status::NeedMore, 11, ""},
        {R, true, Bytes({5, 0, 0, 4, 0}), Status::NeedMore, 22, ""},
        {R, true, Bytes({5, 0, 0, 2, 0}), Status::Failed, 20011, "address type not supported"},
        {TSocksPhase::Done, true, Bytes({5, 0}), Status::Failed, 20013, "internal error"},
    };
    for (const Row& r : rows) {
        const TSocksReply reply = ReadSocksReply(r.phase, r.socks5, r.bytes);
        const std::string what = std::to_string(static_cast<int>(r.phase)) + " " +
                                 std::to_string(r.bytes.size()) + " bytes";
        EXPECT_EQ(reply.State, r.status) << what;
        if (r.status == Status::NeedMore) {
            EXPECT_EQ(reply.Needed, static_cast<size_t>(r.error)) << what;
        }
        if (r.status == Status::Failed) {
            EXPECT_EQ(reply.Error, r.error) << what;
            EXPECT_EQ(reply.Message, r.message) << what;
        }
    }
}

TEST(SocksProtocol, BoundAddresses) {
    const struct {
        std::string bytes, addr;
        const char* port;
    } rows[] = {
        {Bytes({5, 0, 0, 1, 10, 0, 0, 7, 0x04, 0x38}), "10.0.0.7", "1080"},
        {Bytes({5, 0, 0, 3, 3}) + "abc" + Bytes({0, 80}), "abc", "80"},
        {Bytes(
             {5, 0, 0, 4, 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xFF, 0xFF}),
         "2001:db8:0:0:0:0:0:1", "65535"},
        // The longest reply there is.
        {Bytes({5, 0, 0, 3, 255}) + std::string(255, 'n') + Bytes({1, 0}), std::string(255, 'n'),
         "256"},
    };
    for (const auto& r : rows) {
        const TSocksReply reply = ReadSocksReply(TSocksPhase::Requesting, true, r.bytes);
        ASSERT_EQ(reply.State, Status::Complete) << r.port;
        EXPECT_EQ(reply.BoundAddr, r.addr);
        EXPECT_EQ(reply.BoundPort, r.port);
    }
}

// A reply that has not all come asks for more, and for no more than the
// whole: never read past what came, never complete early.
TEST(SocksProtocol, EveryReplyCutShortAsksForTheRest) {
    const auto G = TSocksPhase::Greeting, A = TSocksPhase::Authenticating,
               R = TSocksPhase::Requesting;
    const struct {
        TSocksPhase phase;
        bool socks5;
        std::string whole;
    } rows[] = {
        {G, true, Bytes({5, 0})},
        {A, true, Bytes({1, 0})},
        {R, false, Bytes({0, 90, 0, 80, 1, 2, 3, 4})},
        {R, true, Bytes({5, 0, 0, 1, 10, 0, 0, 7, 0x04, 0x38})},
        {R, true, Bytes({5, 0, 0, 3, 3}) + "abc" + Bytes({0, 80})},
        {R, true, Bytes({5, 0, 0, 3, 0, 0, 80})},
        {R, true, Bytes({5, 0, 0, 4}) + std::string(16, '\1') + Bytes({0, 80})},
        {R, true, Bytes({5, 0, 0, 3, 255}) + std::string(255, 'n') + Bytes({1, 0})},
    };
    for (const auto& r : rows)
        test::ForEachPrefix(r.whole, [&](std::string_view bytes, size_t length) {
            const TSocksReply reply = ReadSocksReply(r.phase, r.socks5, bytes);
            const std::string what =
                std::to_string(length) + " of " + std::to_string(r.whole.size()) + " bytes";
            if (length == r.whole.size()) {
                EXPECT_EQ(reply.State, Status::Complete) << what;
                return;
            }
            ASSERT_EQ(reply.State, Status::NeedMore) << what;
            EXPECT_GT(reply.Needed, length) << what;
            EXPECT_LE(reply.Needed, r.whole.size()) << what;
        });
}

} // namespace
} // namespace lumo
