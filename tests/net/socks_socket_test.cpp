// The SOCKS layer against scripted servers that play the SOCKS server and
// then the destination behind it.
#include "net/socket.h"
#include "platform/socket_api.h"
#include "tests/support/pump.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

using test::PumpUntil;
using test::ScriptedConnection;
using test::ScriptedServer;

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

const std::string Granted5 = Bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x1F, 0x90});
const std::string Granted4 = Bytes({0, 90, 0, 0, 0, 0, 0, 0});

// A socket going to dest.test:80 through the scripted server, recording events in order.
struct Client {
    Client(const ScriptedServer& server, const char* level, const std::string& dest = "dest.test") {
        s.SetSocksServer("127.0.0.1");
        s.SetSocksPort(std::to_string(server.Port()));
        s.SetSocksLevel(level);
        s.SetAddr(dest);
        s.SetPort("80");
        s.OnSessionConnected = [this](TAsyncSocket*, uint16_t e) {
            events.push_back("connected " + std::to_string(e));
        };
        s.OnSessionClosed = [this](TAsyncSocket*, uint16_t e) {
            events.push_back("closed " + std::to_string(e));
            done = true;
        };
        s.OnDataAvailable = [this](TAsyncSocket* sock, uint16_t) {
            const std::string got = sock->ReceiveString();
            if (!got.empty()) events.push_back("data " + got);
        };
        s.OnSocksError = [this](TAsyncSocket*, int e, const std::string& msg) {
            events.push_back("socks error " + std::to_string(e) + " " + msg);
        };
        s.OnSocksAuthState = [this](TAsyncSocket*, TSocksAuthState a) {
            events.push_back("auth " + std::to_string(a));
        };
    }
    void Run() {
        s.Connect();
        ASSERT_TRUE(PumpUntil([&] { return done; }));
    }
    TSocket s;
    std::vector<std::string> events;
    bool done = false;
};

using Events = std::vector<std::string>;

TEST(SocksSocket, Socks5AsksForTheNameAndDeliversWhatFollowsTheReply) {
    std::string request;
    ScriptedServer server([&](ScriptedConnection& c) {
        if (c.ReadBytes(3) != Bytes({5, 1, 0})) return;
        c.Send(Bytes({5, 0}));
        request = c.ReadBytes(7 + 9);
        c.Send(Granted5 + "hello"); // the destination speaks at once
    });
    Client client(server, "5");
    client.Run();
    EXPECT_EQ(request, Bytes({5, 1, 0, 3, 9}) + "dest.test" + Bytes({0, 80}));
    EXPECT_EQ(client.events, (Events{"connected 0", "data hello", "closed 0"}));
    EXPECT_EQ(client.s.SocksBoundAddr(), "10.1.2.3");
    EXPECT_EQ(client.s.SocksBoundPort(), "8080");
}

TEST(SocksSocket, RepliesDrippedByteByByte) {
    const auto drip = [](ScriptedConnection& c, const std::string& bytes) {
        for (char b : bytes) {
            c.Send(std::string(1, b));
            c.Sleep(15);
        }
    };
    ScriptedServer server([&](ScriptedConnection& c) {
        c.ReadBytes(3);
        drip(c, Bytes({5, 0}));
        c.ReadBytes(16);
        drip(c, Granted5 + "ok");
    });
    Client client(server, "5");
    client.Run();
    std::string data;
    for (const std::string& e : client.events)
        if (e.rfind("data ", 0) == 0) data += e.substr(5);
    EXPECT_EQ(client.events.front(), "connected 0");
    EXPECT_EQ(data, "ok");
    EXPECT_EQ(client.events.back(), "closed 0");
}

TEST(SocksSocket, Socks4ARequestBytes) {
    std::string request;
    ScriptedServer server([&](ScriptedConnection& c) {
        request = c.ReadBytes(8 + 4 + 10);
        c.Send(Granted4 + "x");
    });
    Client client(server, "4a");
    EXPECT_EQ(client.s.SocksLevel(), "4A");
    client.s.SocksUsercode = "bob";
    client.Run();
    EXPECT_EQ(request, Bytes({4, 1, 0, 80, 0, 0, 0, 1}) + "bob" + '\0' + "dest.test" + '\0');
    EXPECT_EQ(client.events, (Events{"connected 0", "data x", "closed 0"}));
}

TEST(SocksSocket, Socks4SendsTheAddress) {
    std::string request;
    ScriptedServer server([&](ScriptedConnection& c) {
        request = c.ReadBytes(9);
        c.Send(Granted4);
    });
    Client client(server, "4", "127.0.0.9");
    client.Run();
    EXPECT_EQ(request, Bytes({4, 1, 0, 80, 127, 0, 0, 9, 0}));
    EXPECT_EQ(client.events.front(), "connected 0");
}

TEST(SocksSocket, RefusalsAndWrongVersionsEndWithTheirNumbers) {
    const struct {
        const char* level;
        std::string greetingReply; // empty for SOCKS 4
        std::string reply;
        int error;
        const char* message;
    } rows[] = {
        {"5", Bytes({5, 0}), Bytes({5, 2, 0, 1, 0, 0, 0, 0, 0, 0}), 20005,
         "connection not allowed by ruleset"},
        {"5", Bytes({5, 0}), Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
        {"5", Bytes({5, 0}), Bytes({5, 0x42}), 20012, "unassigned error #66"},
        {"5", Bytes({5, 0}), Bytes({4, 0, 0, 1}), 20002, "socks version error"},
        {"5", Bytes({5, 0}), Bytes({5, 0, 0, 9}), 20011, "address type not supported"},
        {"5", Bytes({6, 0}), "", 20002, "socks version error"},
        {"5", Bytes({5, 0xFF}), "", 20003, "authentification method not acceptable"},
        {"4", "", Bytes({0, 91, 0, 0, 0, 0, 0, 0}), 20016, "request rejected or failed"},
        {"4", "", Bytes({0, 92, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
        {"4", "", Bytes({4, 90, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"},
    };
    for (const auto& r : rows) {
        ScriptedServer server([&](ScriptedConnection& c) {
            if (!r.greetingReply.empty()) {
                c.ReadBytes(3);
                c.Send(r.greetingReply);
                if (r.reply.empty()) return;
                c.ReadBytes(16);
            } else {
                c.ReadBytes(9);
            }
            c.Send(r.reply);
            c.WaitForPeerClose(3000);
        });
        Client client(server, r.level, r.greetingReply.empty() ? "127.0.0.1" : "dest.test");
        client.Run();
        const std::string code = std::to_string(r.error);
        EXPECT_EQ(client.events, (Events{"socks error " + code + " " + r.message,
                                         "connected " + code, "closed " + code}))
            << r.message;
        EXPECT_EQ(client.s.State(), wsClosed);
    }
}

TEST(SocksSocket, TheLongestNameAndIPv6RepliesAreTaken) {
    const std::string name(255, 'b');
    const std::string replies[] = {
        Bytes({5, 0, 0, 3, 255}) + name + Bytes({0, 80}),
        Bytes({5, 0, 0, 4, 0x20, 1, 0xd, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 81}),
    };
    for (const std::string& reply : replies) {
        ScriptedServer server([&](ScriptedConnection& c) {
            c.ReadBytes(3);
            c.Send(Bytes({5, 0}));
            c.ReadBytes(16);
            c.Send(reply + "after");
        });
        Client client(server, "5");
        client.Run();
        EXPECT_EQ(client.events, (Events{"connected 0", "data after", "closed 0"}));
    }
}

TEST(SocksSocket, UserNameAndPassword) {
    for (const bool accepted : {true, false}) {
        std::string auth;
        ScriptedServer server([&](ScriptedConnection& c) {
            if (c.ReadBytes(3) != Bytes({5, 1, 2})) return;
            c.Send(Bytes({5, 2}));
            auth = c.ReadBytes(1 + 1 + 3 + 1 + 6);
            c.Send(Bytes({1, accepted ? 0 : 1}));
            if (!accepted) return;
            c.ReadBytes(16);
            c.Send(Granted5);
        });
        Client client(server, "5");
        client.s.SocksAuthentication = socksAuthenticateUsercode;
        client.s.SocksUsercode = "ann";
        client.s.SocksPassword = "secret";
        client.Run();
        EXPECT_EQ(auth, Bytes({1, 3}) + "ann" + Bytes({6}) + "secret");
        const Events expected =
            accepted ? Events{"auth 0", "auth 1", "connected 0", "closed 0"}
                     : Events{"auth 0", "auth 2", "socks error 20015 socks authentication failed",
                              "connected 20015", "closed 20015"};
        EXPECT_EQ(client.events, expected);
    }
}

TEST(SocksSocket, ACloseDuringAuthenticationIsAFailure) {
    ScriptedServer server([&](ScriptedConnection& c) {
        c.ReadBytes(3);
        c.Send(Bytes({5, 2}));
        c.ReadBytes(5);
    });
    Client client(server, "5");
    client.s.SocksAuthentication = socksAuthenticateUsercode;
    client.s.SocksUsercode = "u";
    client.s.SocksPassword = "p";
    client.Run();
    EXPECT_EQ(client.events, (Events{"auth 0", "auth 2", "closed 0"}));
}

TEST(SocksSocket, FieldsTooLongForOneByteAreRefusedBeforeAnythingIsSent) {
    ScriptedServer server([](ScriptedConnection& c) { c.ReadBytes(1); });
    const std::string longName(256, 'h');
    const struct {
        const char* level;
        std::string addr, user, password;
        const char* message;
        int error;
    } rows[] = {
        {"5", longName, "", "", nullptr, WSAEINVAL},
        {"4A", longName, "", "", nullptr, WSAEINVAL},
        {"4A", std::string("a\0b", 3), "", "", nullptr, WSAEINVAL},
        {"5", "dest.test", std::string(256, 'u'), "p", "socks authentication failed", 20015},
        {"5", "dest.test", "u", std::string(256, 'p'), "socks authentication failed", 20015},
        {"4", "127.0.0.1", std::string(256, 'u'), "", "socks authentication failed", 20015},
    };
    for (const auto& r : rows) {
        Client client(server, r.level, r.addr);
        client.s.SocksAuthentication = socksAuthenticateUsercode;
        client.s.SocksUsercode = r.user;
        client.s.SocksPassword = r.password;
        const std::string expected =
            r.message ? r.message : "WSocketResolveHost: '" + r.addr + "' Invalid Hostname.";
        try {
            client.s.Connect();
            ADD_FAILURE() << expected;
        } catch (const ESocketException& e) {
            EXPECT_STREQ(e.what(), expected.c_str()); // a NUL in the name ends the text
        }
        EXPECT_EQ(client.s.LastError(), r.error);
        EXPECT_EQ(client.s.State(), wsClosed);
    }
    test::PumpFor(50);
    EXPECT_EQ(server.Connections(), 0);

    // 255 bytes still fit the length byte.
    std::string request;
    ScriptedServer fits([&](ScriptedConnection& c) {
        c.ReadBytes(3);
        c.Send(Bytes({5, 0}));
        request = c.ReadBytes(7 + 255);
        c.Send(Granted5);
    });
    Client client(fits, "5", std::string(255, 'h'));
    client.Run();
    ASSERT_EQ(request.size(), 262u);
    EXPECT_EQ(static_cast<uint8_t>(request[4]), 255);
    EXPECT_EQ(client.events.front(), "connected 0");
}

TEST(SocksSocket, PropertyRules) {
    TSocket s;
    const auto message = [&](const auto& call) {
        try {
            call();
        } catch (const ESocketException& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message([&] { s.SetSocksLevel("6"); }), "Invalid socks level. Must be 4, 4A or 5.");
    EXPECT_EQ(s.SocksLevel(), "5");
    s.SetSocksServer(" 127.0.0.1 ");
    EXPECT_EQ(s.SocksServer(), "127.0.0.1");
    s.SetPort("9");
    EXPECT_EQ(message([&] { s.Listen(); }), "listening is not supported thru socks server");
    s.SetProto("udp");
    s.SetAddr("dest.test");
    EXPECT_EQ(message([&] { s.Connect(); }),
              "tcp is the only protocol supported thru socks server");

    ScriptedServer server([](ScriptedConnection& c) { c.WaitForPeerClose(3000); });
    Client client(server, "5");
    client.s.Connect();
    EXPECT_EQ(message([&] { client.s.SetSocksServer("x"); }),
              "Can't change socks server if not closed");
    EXPECT_EQ(message([&] { client.s.SetSocksPort("1"); }),
              "Can't change socks port if not closed");
    EXPECT_EQ(message([&] { client.s.SetSocksLevel("4"); }),
              "Can't change socks level if not closed");
    client.s.Close();
}

} // namespace
} // namespace lumo
