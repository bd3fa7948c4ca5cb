#include "net/socket.h"
#include "platform/name_lookup.h"
#include "platform/socket_api.h"
#include "tests/support/pump.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace lumo {
namespace {

using test::PumpFor;
using test::PumpUntil;
using test::ScriptedConnection;
using test::ScriptedServer;

TEST(Socket, ErrorTexts) {
    const struct {
        int error;
        const char* text;
    } rows[] = {{0, "No Error"},
                {10035, "Operation would block"},
                {10054, "Connection reset by peer"},
                {10060, "Connection timed out"},
                {10061, "Connection refused"},
                {11001, "Host not found"},
                {11004, "No Data"},
                {12345, "Not a WinSock error"},
                {-1, "Not a WinSock error"}};
    for (const auto& r : rows)
        EXPECT_EQ(SocketErrorText(r.error), r.text) << r.error;
}

TEST(Socket, ErrnoBecomesWinSockNumbers) {
    const struct {
        int err, winsock;
    } rows[] = {{EWOULDBLOCK, 10035},
                {EINPROGRESS, 10035},
                {ECONNREFUSED, 10061},
                {ECONNRESET, 10054},
                {EPIPE, 10054},
                {ETIMEDOUT, 10060},
                {ENOTCONN, 10057},
                {EADDRINUSE, 10048},
                {ENOTSOCK, 10038},
                {EHOSTUNREACH, 10065},
                // Numbers the table lacks, between its entries and past them, stay.
                {ENOENT, ENOENT},
                {99999, 99999}};
    for (const auto& r : rows)
        EXPECT_EQ(WinSockErrorFromErrno(r.err), r.winsock) << r.err;
}

TEST(Socket, SendBuffers) {
    TSendBuffer b(4);
    EXPECT_EQ(b.Write("abcdef", 6), 4);
    int len = 0;
    const char* p = b.Peek(len);
    EXPECT_EQ(std::string(p, static_cast<size_t>(len)), "abcd");
    b.Remove(3);
    p = b.Peek(len);
    EXPECT_EQ(std::string(p, static_cast<size_t>(len)), "d");
    EXPECT_EQ(b.Write("x", 1), 0); // full until everything was sent
    b.Remove(99);
    EXPECT_EQ(b.Peek(len), nullptr);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(b.Write("xy", 2), 2);
    EXPECT_EQ(TSendBuffer(0).Size(), 1514);
    EXPECT_EQ(TSendBuffer(-5).Size(), 1514);
}

// A dotted address is its own result at once; an empty name raises without the event.
TEST(Socket, DottedAndEmptyNamesNeedNoLookUp) {
    TSocket s;
    std::vector<int> done;
    s.OnDnsLookupDone = [&](TAsyncSocket*, uint16_t e) { done.push_back(e); };
    s.LookupHost("10.0.0.1");
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_EQ(s.DnsResult(), "10.0.0.1");
    try {
        s.LookupHost("");
        ADD_FAILURE();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "DNS lookup: invalid host name.");
    }
    EXPECT_EQ(done.size(), 1u);
}

TEST(Socket, NamesComeFromTheInstalledResolver) {
    SetHostResolver([](const std::string& name) {
        LookupResult r;
        if (name == "two.test")
            r.addresses = {"127.0.0.2", "127.0.0.3"};
        else
            r.error = WSAHOST_NOT_FOUND;
        return r;
    });
    TSocket s;
    std::vector<int> done;
    s.OnDnsLookupDone = [&](TAsyncSocket*, uint16_t e) { done.push_back(e); };
    s.LookupHost("two.test");
    EXPECT_TRUE(done.empty());
    ASSERT_TRUE(PumpUntil([&] { return done.size() == 1; }));
    EXPECT_EQ(s.DnsResult(), "127.0.0.2");
    EXPECT_EQ(s.DnsResultList(), (std::vector<std::string>{"127.0.0.2", "127.0.0.3"}));
    s.LookupHost("none.test");
    ASSERT_TRUE(PumpUntil([&] { return done.size() == 2; }));
    EXPECT_EQ(done[1], WSAHOST_NOT_FOUND);
    s.LookupHost("two.test");
    s.CancelLookup();
    PumpFor(50);
    EXPECT_EQ(done.size(), 3u);
    EXPECT_EQ(done[2], WSAEINTR);

    // Connecting by name asks the same resolver.
    TSocket byName;
    byName.SetAddr("two.test");
    byName.SetPort("9");
    EXPECT_NO_THROW(byName.Connect());
    byName.Abort();
    TSocket unknown;
    unknown.SetAddr("none.test");
    unknown.SetPort("9");
    EXPECT_THROW(unknown.Connect(), ESocketException);
    SetHostResolver(nullptr);
}

TEST(Socket, PortsAreCheckedBeforeConnecting) {
    for (const char* port : {"65536", "99999999999999", "abc-no-such-service"}) {
        TSocket s;
        s.SetAddr("127.0.0.1");
        s.SetPort(port);
        EXPECT_THROW(s.Connect(), ESocketException) << port;
        EXPECT_EQ(s.State(), wsClosed);
    }
}

struct Session {
    explicit Session(TSocket& s) {
        s.OnSessionConnected = [this](TAsyncSocket*, uint16_t e) { connected.push_back(e); };
        s.OnSessionClosed = [this](TAsyncSocket*, uint16_t e) {
            closed.push_back(e);
            events.push_back("closed");
        };
        s.OnDataSent = [this](TAsyncSocket*, uint16_t) { ++sent; };
        s.OnDataAvailable = [this](TAsyncSocket* sock, uint16_t) {
            if (readWhatWaits) {
                const std::string waiting = sock->ReceiveString();
                received += waiting;
                if (!waiting.empty()) events.push_back("data");
                return;
            }
            char b[700]; // smaller than what waits, so the read loop calls again
            const int n = sock->Receive(b, sizeof b);
            if (n > 0) {
                received.append(b, static_cast<size_t>(n));
                events.push_back("data");
            }
        };
    }
    bool readWhatWaits = false; // all that waits at once, or 700 bytes at a time
    std::vector<int> connected, closed;
    std::vector<std::string> events;
    std::string received;
    int sent = 0;
};

// Standard input closed while it lives, so the next descriptor made is 0.
class ClosedInput {
public:
    ClosedInput() : saved_(::dup(0)) { ::close(0); }
    ~ClosedInput() {
        ::dup2(saved_, 0);
        ::close(saved_);
    }

private:
    int saved_;
};

// Connects to an echo server, sends 5000 bytes and reads them back until the
// server closes; on descriptor 0, reading all that waits at once, when asked.
void Echo(bool onDescriptorZero = false) {
    ScriptedServer echo([](ScriptedConnection& c) { c.Send(c.ReadBytes(5000)); });
    std::optional<ClosedInput> input;
    if (onDescriptorZero) input.emplace();
    TSocket s;
    Session session(s);
    session.readWhatWaits = onDescriptorZero;
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(echo.Port()));
    s.Connect();
    EXPECT_EQ(s.State(), wsConnecting);
    if (onDescriptorZero) {
        EXPECT_EQ(s.Handle(), 0);
    }
    ASSERT_TRUE(PumpUntil([&] { return !session.connected.empty(); }));
    EXPECT_EQ(session.connected, std::vector<int>{0});
    EXPECT_EQ(s.State(), wsConnected);
    try {
        s.SetPort("81");
        ADD_FAILURE();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Cannot change Port if not closed");
    }
    std::string data(5000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    EXPECT_EQ(s.SendString(data), 5000);
    EXPECT_EQ(session.sent, 0); // never from inside Send
    ASSERT_TRUE(PumpUntil([&] { return !session.closed.empty(); }));
    EXPECT_EQ(session.sent, 1);
    EXPECT_EQ(session.received, data);
    EXPECT_EQ(session.events.back(), "closed");
    EXPECT_EQ(session.closed, std::vector<int>{0});
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Port(), ""); // defaults again after the close
    PumpFor(50);
    EXPECT_EQ(session.closed.size(), 1u);
}

TEST(Socket, EchoesAndSeesThePeerClose) {
    Echo();
}

// Started with standard input closed, the first socket gets descriptor 0,
// and must work as any other.
TEST(Socket, DescriptorZeroIsASocketLikeAnyOther) {
    Echo(true);
    // A socket dropped while connected closes its descriptor, 0 as well.
    ScriptedServer idle([](ScriptedConnection& c) { c.WaitForPeerClose(5000); });
    ClosedInput input;
    struct stat opened {};
    {
        TSocket s;
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(idle.Port()));
        s.Connect();
        ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
        EXPECT_EQ(s.Handle(), 0);
        ASSERT_EQ(::fstat(0, &opened), 0);
    }
    // Closed, or since given to whatever another thread opened next: the
    // lowest free number goes first. Either way it is no longer the socket.
    struct stat now {};
    EXPECT_TRUE(::fstat(0, &now) != 0 || now.st_ino != opened.st_ino ||
                now.st_dev != opened.st_dev);
}

// Each way of ending notifies once, from inside the call that ended it.
TEST(Socket, EveryCloseAfterAConnectNotifiesExactlyOnce) {
    ScriptedServer server([](ScriptedConnection& c) { c.WaitForPeerClose(3000); });
    const struct {
        const char* name;
        bool waitForConnect;
        void (*end)(TSocket& s);
        std::vector<int> closed;
    } rows[] = {
        {"Close", true, [](TSocket& s) { s.Close(); }, {0}},
        {"Abort", true, [](TSocket& s) { s.Abort(); }, {0}},
        {"Abort while connecting", false, [](TSocket& s) { s.Abort(); }, {0}},
        // Sending before the connection stands is error 10057, which closes the socket.
        {"10057, then Abort without a handle",
         false,
         [](TSocket& s) {
             s.OnError = [](TAsyncSocket*) {};
             EXPECT_EQ(s.SendString("early"), -1);
             EXPECT_EQ(s.LastError(), WSAENOTCONN);
             EXPECT_EQ(s.Handle(), -1);
             s.Abort();
             s.Close();
         },
         {WSAENOTCONN}},
        {"10057 raised",
         false,
         [](TSocket& s) { EXPECT_THROW(s.SendString("early"), ESocketException); },
         {WSAENOTCONN}},
    };
    for (const auto& row : rows) {
        TSocket s;
        Session session(s);
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(server.Port()));
        s.Connect();
        if (row.waitForConnect) {
            ASSERT_TRUE(PumpUntil([&] { return !session.connected.empty(); }));
        }
        row.end(s);
        EXPECT_EQ(session.closed, row.closed) << row.name;
        PumpFor(50);
        EXPECT_EQ(session.closed, row.closed) << row.name;
        EXPECT_EQ(s.State(), wsClosed) << row.name;
    }
}

TEST(Socket, RefusedConnectionsReportTheError) {
    const int port = [] {
        ScriptedServer gone(ScriptedServer::Reply(""));
        return gone.Port();
    }();
    TSocket s;
    Session session(s);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !session.closed.empty(); }));
    EXPECT_EQ(session.connected, std::vector<int>{WSAECONNREFUSED});
    EXPECT_EQ(session.closed.size(), 1u);
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(Socket, ReusedDescriptorsGetOnlyTheirOwnNotifications) {
    // The first socket's data is still waiting to be announced when it is
    // closed; the second socket, very likely on the same descriptor (a server
    // thread may take that number first), must not hear of it.
    ScriptedServer talker([](ScriptedConnection& c) {
        c.Send("hello");
        c.WaitForPeerClose(2000);
    });
    ScriptedServer silent([](ScriptedConnection& c) { c.WaitForPeerClose(2000); });
    TSocket first, second;
    Session a(first), b(second);
    first.SetAddr("127.0.0.1");
    first.SetPort(std::to_string(talker.Port()));
    first.OnDataAvailable = [&](TAsyncSocket* sock, uint16_t) {
        sock->Close(); // closed before reading
        second.SetAddr("127.0.0.1");
        second.SetPort(std::to_string(silent.Port()));
        second.Connect();
    };
    first.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !b.connected.empty(); }));
    PumpFor(100);
    EXPECT_EQ(b.received, "");
    EXPECT_TRUE(b.closed.empty());
    EXPECT_EQ(second.State(), wsConnected);
}

TEST(Socket, ListensAndAccepts) {
    TSocket server, client;
    server.SetAddr("127.0.0.1");
    server.SetPort("0");
    server.Listen();
    EXPECT_EQ(server.State(), wsListening);
    const std::string port = server.LocalPortText();
    ASSERT_NE(port, "error");
    TSocket accepted;
    Session session(accepted);
    server.OnSessionAvailable = [&](TAsyncSocket* s, uint16_t) {
        accepted.AdoptHandle(s->Accept());
        accepted.SendString("welcome");
        accepted.Close();
    };
    std::string got;
    bool closed = false;
    client.OnDataAvailable = [&](TAsyncSocket* s, uint16_t) { got += s->ReceiveString(); };
    client.OnSessionClosed = [&](TAsyncSocket*, uint16_t) { closed = true; };
    client.SetAddr("127.0.0.1");
    client.SetPort(port);
    client.Connect();
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    EXPECT_EQ(got, "welcome");
}

} // namespace
} // namespace lumo
