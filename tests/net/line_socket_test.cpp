// Line mode over a real connection: a scripted peer sends its bytes in the
// pieces a test needs, with pauses so each piece arrives on its own.
#include "net/socket.h"
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
using Events = std::vector<std::string>;

// Sends each piece after a pause, then closes.
ScriptedServer::Script Pieces(std::vector<std::string> pieces, std::string* echoed = nullptr,
                              size_t echoSize = 0) {
    return [pieces = std::move(pieces), echoed, echoSize](ScriptedConnection& c) {
        for (const std::string& p : pieces) {
            c.Send(p);
            c.Sleep(60);
        }
        if (echoed) *echoed = c.ReadBytes(echoSize);
    };
}

struct LineClient {
    explicit LineClient(const ScriptedServer& server) {
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(server.Port()));
        s.SetLineMode(true);
        s.OnDataAvailable = [this](TAsyncSocket* sock, uint16_t) {
            const std::string line = sock->ReceiveString();
            events.push_back(line);
            if (onLine) onLine(line);
        };
        s.OnSessionClosed = [this](TAsyncSocket*, uint16_t) {
            events.push_back("closed");
            done = true;
        };
    }
    void Run() {
        s.Connect();
        ASSERT_TRUE(PumpUntil([&] { return done; }));
    }
    TSocket s;
    Events events;
    std::function<void(const std::string&)> onLine;
    bool done = false;
};

TEST(LineSocket, LinesAcrossReadsAndTheLastLineAtClose) {
    ScriptedServer server(Pieces({"ab\r", "\ncd\r\nef", "g\r\nlast"}));
    LineClient client(server);
    client.Run();
    EXPECT_EQ(client.events, (Events{"ab\r\n", "cd\r\n", "efg\r\n", "last", "closed"}));
}

TEST(LineSocket, EditingAndEcho) {
    std::string echoed;
    const std::string tabs(1000, '\t');
    ScriptedServer server(Pieces({"\b", "x\b", "y\r\n", tabs + "\r\n"}, &echoed, 4 + 3 + 8002));
    LineClient client(server);
    client.s.LineEdit = true;
    client.s.LineEcho = true;
    client.Run();
    EXPECT_EQ(client.events, (Events{"y\r\n", std::string(8000, ' ') + "\r\n", "closed"}));
    EXPECT_EQ(echoed, "x\b \by\r\n" + std::string(8000, ' ') + "\r\n");
}

TEST(LineSocket, SwitchingOffOffersWhatIsBuffered) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.Send("one\r\ntwo\r\nrest");
        c.Sleep(200);
        c.Send("more");
        c.Sleep(100);
    });
    LineClient client(server);
    client.onLine = [&](const std::string& line) {
        if (line == "one\r\n") client.s.SetLineMode(false);
    };
    client.Run();
    std::string after;
    for (size_t i = 1; i + 1 < client.events.size(); ++i)
        after += client.events[i];
    EXPECT_EQ(client.events.front(), "one\r\n");
    EXPECT_EQ(after, "two\r\nrestmore");
    EXPECT_EQ(client.events.back(), "closed");
}

TEST(LineSocket, NoHandlerDropsLinesAndEnds) {
    ScriptedServer server(Pieces({std::string(3000, 'x'), "a\r\nb\r\n", "tail"}));
    LineClient client(server);
    client.s.SetLineLimit(1000);
    client.s.OnDataAvailable = nullptr;
    client.Run();
    EXPECT_EQ(client.events, Events{"closed"});
}

TEST(LineSocket, ALongLineComesInPiecesOfTheLimit) {
    ScriptedServer server(Pieces({std::string(2500, 'x') + "\r\n"}));
    LineClient client(server);
    client.s.SetLineLimit(1000);
    client.Run();
    EXPECT_EQ(client.events, (Events{std::string(1000, 'x'), std::string(1000, 'x'),
                                     std::string(500, 'x') + "\r\n", "closed"}));
}

TEST(LineSocket, AHandlerThatTakesNothingIsAskedAgainWithTheNextData) {
    ScriptedServer server(Pieces({"a\r\n", "b\r\n"}));
    LineClient client(server);
    int calls = 0;
    client.s.OnDataAvailable = [&](TAsyncSocket* sock, uint16_t) {
        if (++calls == 1) return; // takes nothing: the line waits
        client.events.push_back(sock->ReceiveString());
    };
    client.Run();
    EXPECT_EQ(client.events, (Events{"a\r\n", "b\r\n", "closed"}));
}

TEST(LineSocket, WaitReadyPumpsUntilDoneOrTimeOut) {
    TSocket s;
    bool done = false;
    s.Timeout = 50;
    EXPECT_EQ(s.WaitReady(done), SocketWaitTimedOut);
    s.Timeout = 0;
    EXPECT_EQ(s.Synchronize([&] { PostTask([&] { done = true; }); }, done), 0);
    EXPECT_TRUE(done);
}

} // namespace
} // namespace lumo
