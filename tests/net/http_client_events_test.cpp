// The HTTP client's events as an owner uses them: freeing the client from
// inside any of them, handlers and streams that fail, the cookie asked for
// after a redirection, and documents larger than 2 GiB.
#include "net/http_client.h"
#include "net/http_connection.h"
#include "platform/stream.h"
#include "tests/support/pump.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumo {
namespace {

using test::PumpFor;
using test::PumpUntil;
using test::ScriptedConnection;
using test::ScriptedServer;

// "/go" is moved to "/next" with a cookie; "/next" answers with a document.
ScriptedServer::Script MovingServer() {
    return [](ScriptedConnection& c) {
        const std::string request = c.ReadRequest();
        if (request.find(" /go ") != std::string::npos)
            c.Send("HTTP/1.0 302 Found\r\nSet-Cookie: s=1; path=/\r\nLocation: /next\r\n\r\n");
        else
            c.Send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5\r\n"
                   "Set-Cookie: t=2\r\n\r\nhello");
    };
}

// Hooks a handler that frees the client onto one event. The handler uses what
// it captured after the client is gone, as an owner's handler may.
template <auto Event, class Owner>
void FreeOn(Owner& owner, const std::function<void()>& free) {
    owner.*Event = [free](auto&&...) { free(); };
}

struct FreeingEvent {
    const char* name;
    void (*hook)(THttpClient& cli, const std::function<void()>& free);
};

const FreeingEvent FreeingEvents[] = {
    {"OnStateChange",
     [](THttpClient& c, const std::function<void()>& f) {
         c.OnStateChange = [f](THttpClient* s) {
             if (s->State() == hsConnecting) f();
         };
     }},
    {"OnSessionConnected", FreeOn<&THttpClient::OnSessionConnected>},
    {"OnRequestHeaderBegin", FreeOn<&THttpClient::OnRequestHeaderBegin>},
    {"OnCommand", FreeOn<&THttpClient::OnCommand>},
    {"OnRequestHeaderEnd", FreeOn<&THttpClient::OnRequestHeaderEnd>},
    {"OnSendBegin", FreeOn<&THttpClient::OnSendBegin>},
    {"OnSendData", FreeOn<&THttpClient::OnSendData>},
    {"OnSendEnd", FreeOn<&THttpClient::OnSendEnd>},
    {"OnHeaderBegin", FreeOn<&THttpClient::OnHeaderBegin>},
    {"OnHeaderData", FreeOn<&THttpClient::OnHeaderData>},
    {"OnCookie", FreeOn<&THttpClient::OnCookie>},
    {"OnHeaderEnd", FreeOn<&THttpClient::OnHeaderEnd>},
    {"OnLocationChange", FreeOn<&THttpClient::OnLocationChange>},
    {"OnCookieRequest", FreeOn<&THttpClient::OnCookieRequest>},
    {"OnDocBegin", FreeOn<&THttpClient::OnDocBegin>},
    {"OnDocData", FreeOn<&THttpClient::OnDocData>},
    {"OnDocEnd", FreeOn<&THttpClient::OnDocEnd>},
    {"OnRequestDone", FreeOn<&THttpClient::OnRequestDone>},
};

TEST(HttpClientEvents, EveryEventMayFreeTheClient) {
    ScriptedServer server(MovingServer());
    TMemoryStream post;
    post.Write(std::string_view("q=1"));
    for (const FreeingEvent& event : FreeingEvents) {
        auto cli = std::make_unique<THttpClient>();
        bool freed = false;
        const std::string captured(64, 'x');
        event.hook(*cli, [&cli, &freed, captured] {
            if (!cli) return;
            cli.reset();
            freed = captured.size() == 64; // the closure outlives the client
        });
        post.Seek(0);
        cli->PostStream = &post;
        cli->URL = server.Address("/go");
        cli->PostAsync();
        EXPECT_TRUE(PumpUntil([&] { return freed; }, 5000)) << event.name;
        PumpFor(30);
    }
}

TEST(HttpClientEvents, EveryForwardedEventMayFreeTheConnection) {
    ScriptedServer server(MovingServer());
    using Hook = void (*)(THTTPConnection&, const std::function<void()>&);
    const std::pair<const char*, Hook> hooks[] = {
        {"OnCommand", FreeOn<&THTTPConnection::OnCommand>},
        {"OnHeaderBegin", FreeOn<&THTTPConnection::OnHeaderBegin>},
        {"OnHeaderData", FreeOn<&THTTPConnection::OnHeaderData>},
        {"OnCookieRequest", FreeOn<&THTTPConnection::OnCookieRequest>},
        {"OnHeaderEnd", FreeOn<&THTTPConnection::OnHeaderEnd>},
        {"OnDocBegin", FreeOn<&THTTPConnection::OnDocBegin>},
        {"OnDocData", FreeOn<&THTTPConnection::OnDocData>},
        {"OnDocEnd", FreeOn<&THTTPConnection::OnDocEnd>},
    };
    for (const auto& [name, hook] : hooks) {
        auto connection = std::make_unique<THTTPConnection>();
        bool freed = false;
        const std::string captured(64, 'x');
        hook(*connection, [&connection, &freed, captured] {
            if (!connection) return;
            connection.reset();
            freed = captured.size() == 64;
        });
        connection->GetAsync(server.Address("/go"));
        EXPECT_TRUE(PumpUntil([&] { return freed; }, 5000)) << name;
        PumpFor(30);
    }
}

// A receive stream that takes only so many bytes, then fails the way a full
// disk does: by raising, or by taking fewer bytes than it was given.
class FullDisk : public TMemoryStream {
public:
    enum class Failure { Raises, TakesLess };
    FullDisk(size_t room, Failure failure) : room_(room), failure_(failure) {}
    size_t Write(const void* buffer, size_t count) override {
        const size_t n = std::min(count, room_ - std::min(room_, static_cast<size_t>(Size())));
        TMemoryStream::Write(buffer, n);
        if (n < count && failure_ == Failure::Raises) throw std::runtime_error("Disk full");
        return n;
    }

private:
    size_t room_;
    Failure failure_;
};

TEST(HttpClientEvents, ADocumentThatCannotBeStoredEndsInAnError) {
    const std::string body(200000, 'b');
    ScriptedServer server(ScriptedServer::Reply(
        "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
    const struct {
        const char* name;
        FullDisk::Failure failure;
        bool handlerRaises;
        const char* reason;
    } rows[] = {
        {"Write raises", FullDisk::Failure::Raises, false, "Disk full"},
        {"Write takes less", FullDisk::Failure::TakesLess, false, "Cannot store the document"},
        {"OnDocData raises", FullDisk::Failure::Raises, true, "No room"},
    };
    for (const auto& row : rows) {
        for (const bool synchronous : {true, false}) {
            THttpClient cli;
            FullDisk disk(row.handlerRaises ? body.size() : 1000, row.failure);
            std::vector<uint16_t> errors;
            cli.OnRequestDone = [&](THttpClient*, THttpRequest, uint16_t e) {
                errors.push_back(e);
            };
            if (row.handlerRaises)
                cli.OnDocData = [](THttpClient* c, const char*, int) {
                    if (c->ReceivedBytes() > 1000) throw std::runtime_error("No room");
                };
            cli.ReceiveStream = &disk;
            cli.URL = server.Address("/big.bin");
            if (synchronous) {
                EXPECT_THROW(cli.Get(), EHttpException) << row.name;
            } else {
                cli.GetAsync();
            }
            ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); })) << row.name;
            PumpFor(20);
            EXPECT_EQ(errors, std::vector<uint16_t>{httperrEventFailed}) << row.name;
            EXPECT_EQ(cli.ReasonPhrase(), row.reason) << row.name;
            EXPECT_EQ(cli.State(), hsReady);
        }
    }
}

TEST(HttpClientEvents, ARedirectionAsksTheOwnerForTheCookieOfTheNewAddress) {
    // "/go" on the first server moves to the second; both echo the request line and cookie.
    ScriptedServer second([](ScriptedConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\n\r\nsecond");
    });
    ScriptedServer first([&second](ScriptedConnection& c) {
        const std::string request = c.ReadRequest();
        if (request.find(" /go ") != std::string::npos)
            c.Send("HTTP/1.0 302 Found\r\nSet-Cookie: id=7\r\nLocation: " +
                   second.Address("/landing.htm") + "\r\n\r\n");
        else
            c.Send("HTTP/1.0 302 Found\r\nLocation: /again.htm\r\n\r\n");
    });
    THttpClient cli;
    std::vector<std::string> asked;
    cli.OnCookieRequest = [&](THttpClient*, const std::string& url, std::string& cookie) {
        asked.push_back(url + " [" + cookie + "]");
        cookie = "id=7";
    };
    cli.URL = first.Address("/go");
    cli.Cookie = "old=1";
    cli.Get();
    EXPECT_EQ(asked, std::vector<std::string>{second.Address("/landing.htm") + " []"});
    ASSERT_EQ(second.Requests().size(), 1u);
    EXPECT_NE(second.Requests()[0].find("\r\nCookie: id=7\r\n"), std::string::npos);

    // On the same server the current cookie is offered, and kept without a handler.
    asked.clear();
    cli.URL = first.Address("/stay");
    cli.OnCookieRequest = [&](THttpClient*, const std::string& url, std::string& cookie) {
        asked.push_back(url + " [" + cookie + "]");
        cookie = "\r\nX-Evil: 1";
    };
    EXPECT_THROW(cli.Get(), EHttpException); // a header that would inject a line is refused
    EXPECT_EQ(asked, std::vector<std::string>{first.Address("/again.htm") + " [old=1]"});
    cli.OnCookieRequest = nullptr;
    cli.URL = first.Address("/stay");
    EXPECT_THROW(cli.Get(), EHttpException); // "/again.htm" moves on for ever
    EXPECT_NE(first.Requests().back().find("\r\nCookie: old=1\r\n"), std::string::npos);
}

TEST(HttpClientEvents, DocumentsLargerThanTwoGigabytesArrive) {
    constexpr int64_t size = (int64_t{1} << 31) + 12345;
    ScriptedServer server([](ScriptedConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n");
        const std::string block(1 << 20, 'z');
        for (int64_t left = size; left > 0 && !c.Stopping();) {
            const size_t n = static_cast<size_t>(std::min<int64_t>(left, block.size()));
            c.Send(std::string_view(block).substr(0, n));
            left -= static_cast<int64_t>(n);
        }
    });
    THttpClient cli;
    TNullStream out;
    cli.ReceiveStream = &out;
    cli.URL = server.Address("/huge.iso");
    cli.Get();
    EXPECT_EQ(cli.ContentLength(), size);
    EXPECT_EQ(cli.ReceivedBytes(), size);
    EXPECT_EQ(out.Size(), size);
}

} // namespace
} // namespace lumo
