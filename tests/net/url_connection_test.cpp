#include "net/file_connection.h"
#include "net/http_connection.h"
#include "net/resource_connection.h"
#include "net/url_connection.h"
#include "platform/stream.h"
#include "tests/support/local_servers.h"
#include "tests/support/pump.h"
#include "tests/support/scripted_server.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumo {
namespace {

using test::LocalServer;
using test::PumpFor;
using test::PumpUntil;
using test::ScriptedServer;
using test::TempFolder;

std::string Bytes(TURLConnection& c) {
    return static_cast<TMemoryStream*>(c.ContentStream())->Bytes();
}

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    uint32_t x = 12345;
    for (auto& c : s) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

TEST(URLConnection, ConnectionsByScheme) {
    const struct {
        const char* url;
        const char* kind; // "" for none
    } rows[] = {{"http://host/", "http"},
                {"HTTP://host/", "http"},
                {"file:///tmp/a.htm", "file"},
                {"FILE:///C|/a.htm", "file"},
                {"res:///support.htm", "res"},
                {"https://host/", ""},
                {"ftp://host/", ""},
                {"mailto:a@b", ""},
                {"", ""}};
    for (const auto& r : rows) {
        auto c = TURLConnection::CreateForURL(r.url);
        const std::string kind = !c                                            ? ""
                                 : dynamic_cast<THTTPConnection*>(c.get())     ? "http"
                                 : dynamic_cast<TFileConnection*>(c.get())     ? "file"
                                 : dynamic_cast<TResourceConnection*>(c.get()) ? "res"
                                                                               : "?";
        EXPECT_EQ(kind, r.kind) << r.url;
    }
}

TEST(URLConnection, CharsetOfAContentType) {
    const struct {
        const char* type;
        const char* charset;
    } rows[] = {
        {"text/html; charset=koi8-r", "koi8-r"},
        {"text/html;CHARSET=\"Windows-1251\"", "windows-1251"},
        {"text/html; level=1; charset = utf-8 ; x=y", "utf-8"},
        {"text/html; xcharset=koi8-r", ""},
        {"text/html", ""},
        {"text/html; charset=", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ContentTypeCharset(row.type), row.charset) << row.type;
}

TEST(FileConnection, FileNamesOfAddresses) {
    const struct {
        std::string url;
        std::optional<std::string> name;
    } rows[] = {
        {"file:///home/user/page.htm", "/home/user/page.htm"},
        {"file:///C|/dir/my%20page.htm?x=1", "C:\\dir\\my page.htm"},
        {"file:///c:/dir/a.htm", "c:\\dir\\a.htm"},
        {"file:///tmp/a%2fb%41.htm", "/tmp/a/bA.htm"},
        {"file:///tmp/100%", "/tmp/100%25"}, // local names write a plain "%" as an escape
        {"file:///tmp/a%zz%41", "/tmp/a%25zzA"},
        {"file:///tmp/a%4", "/tmp/a%254"},
        {"file:///tmp/a%00b", std::nullopt},
        {"file:///tmp/a%23b.htm#part", "/tmp/a%23b.htm"},
        {"file:///tmp/p.htm#x?y", "/tmp/p.htm"},
        {"file:///tmp/x%3Ay%5C.htm", "/tmp/x%3Ay%5C.htm"},
        {"file://", ""},
        {"file", "file"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FileConnectionPath(r.url), r.name) << r.url;
}

TEST(FileConnection, KindsByExtension) {
    const struct {
        const char* name;
        TContentKind kind;
    } rows[] = {{"a.htm", ckHTML},  {"a.JPG", ckImage},  {"a.jpeg", ckImage}, {"a.gif", ckImage},
                {"a.png", ckImage}, {"a.bmp", ckImage},  {"a.txt", ckText},   {"a.TXT", ckText},
                {"a", ckHTML},      {"d.txt/a", ckHTML}, {"a.xyz", ckHTML}};
    for (const auto& r : rows)
        EXPECT_EQ(FileKindOf(r.name), r.kind) << r.name;
}

TEST(FileConnection, ReadsFilesAndReportsInsideTheEvent) {
    TempFolder dir;
    dir.Write("my page.htm", "<p>hello");
    dir.Write("pic.JPG", "\xff\xd8");
    dir.Write("notes.txt", "text");
    const struct {
        const char* name;
        TContentKind kind;
        const char* bytes;
    } rows[] = {{"my%20page.htm?x=1", ckHTML, "<p>hello"},
                {"pic.JPG", ckImage, "\xff\xd8"},
                {"notes.txt", ckText, "text"}};
    for (const auto& r : rows) {
        auto c = TURLConnection::CreateForURL("file://" + dir.Path() + r.name);
        int statusInside = 0;
        c->OnRequestDone = [&](TURLConnection& sender, THttpRequest rq, uint16_t error) {
            EXPECT_EQ(&sender, c.get());
            EXPECT_EQ(rq, httpGET);
            EXPECT_EQ(error, 0);
            statusInside = c->StatusCode();
        };
        c->Get("file://" + dir.Path() + r.name);
        EXPECT_EQ(statusInside, 200) << r.name;
        EXPECT_EQ(Bytes(*c), r.bytes);
        EXPECT_EQ(c->ContentKind(), r.kind) << r.name;
        EXPECT_EQ(c->ContentLength(), static_cast<int64_t>(std::string(r.bytes).size()));
    }
}

TEST(FileConnection, AStreamOfTheCallersHoldsOnlyTheNewFile) {
    TempFolder dir;
    dir.Write("short.htm", "new");
    TMemoryStream memory;
    TFileStream file(dir / "out.bin", TFileStream::Mode::Create);
    TNullStream discard;
    for (TStream* stream : std::initializer_list<TStream*>{&memory, &file, &discard}) {
        stream->Write(std::string_view("older and longer content"));
        TFileConnection c;
        c.UseStream(stream);
        c.Get("file://" + dir / "short.htm");
        EXPECT_EQ(c.ContentLength(), 3);
        EXPECT_EQ(stream->Size(), 3);
    }
    EXPECT_EQ(memory.Bytes(), "new");
    file.Seek(0);
    char back[8] = {};
    EXPECT_EQ(file.Read(back, sizeof back), 3u);
    EXPECT_STREQ(back, "new");
}

TEST(FileConnection, OnlyRegularFilesAreRead) {
    TempFolder dir;
    dir.Write("sub/a.htm", "x");
    ASSERT_EQ(mkfifo((dir / "fifo.htm").c_str(), 0600), 0);
    for (const std::string& path : {dir / "missing.htm", dir / "sub", dir / "sub/",
                                    dir / "fifo.htm", std::string("/dev/zero"), dir / "a%00.htm"}) {
        TFileConnection c;
        std::vector<int> errors;
        c.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t e) { errors.push_back(e); };
        try {
            c.Get("file://" + path);
            ADD_FAILURE() << path;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot open file ", 0), 0u) << e.what();
        }
        EXPECT_EQ(errors, std::vector<int>{1}) << path;
        EXPECT_EQ(c.StatusCode(), 404);
        // Through GetAsync the failure is only the event.
        errors.clear();
        EXPECT_NO_THROW(c.GetAsync("file://" + path));
        EXPECT_EQ(errors, std::vector<int>{1});
    }
}

TEST(ResourceConnection, BuiltInPages) {
    TResourceConnection c;
    int statusInside = 0;
    c.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t error) {
        EXPECT_EQ(error, 0);
        statusInside = c.StatusCode();
    };
    c.Get("res:///support.htm");
    EXPECT_EQ(statusInside, 404); // set only after the event
    EXPECT_EQ(c.StatusCode(), 200);
    EXPECT_EQ(c.ContentKind(), ckHTML);
    EXPECT_NE(Bytes(c).find("Supported Tags"), std::string::npos);
    EXPECT_NE(Bytes(c).find("BLOCKQUOTE"), std::string::npos);
    // A query names the same page, as it does a local file.
    TResourceConnection asked;
    asked.Get("res:///support.htm?x");
    EXPECT_EQ(asked.ContentKind(), ckHTML);
    EXPECT_EQ(Bytes(asked), Bytes(c));
}

TEST(ResourceConnection, MissingResources) {
    const struct {
        const char* url;
        const char* message;
    } rows[] = {{"res:///missing.gif", "Can't find resource: missing.gif"},
                {"res:///page.xyz", "Can't find resource: page.xyz"},
                {"res://support.txt", "Can't find resource: support.txt"},
                {"res:///missing.htm?x.gif", "Can't find resource: missing.htm"}};
    for (const auto& r : rows) {
        TResourceConnection c;
        std::vector<int> errors;
        c.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t e) { errors.push_back(e); };
        try {
            c.Get(r.url);
            ADD_FAILURE() << r.url;
        } catch (const EResNotFound& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
        EXPECT_EQ(errors, std::vector<int>{1});
    }
}

// --- over HTTP -----------------------------------------------------------------

class RealServers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = std::make_unique<TempFolder>();
        root_->Write("empty.htm", "");
        root_->Write("b8192.htm", Pattern(8192));
        root_->Write("b8193.htm", Pattern(8193));
        root_->Write("pic.gif", "GIF89a");
        root_->Write("notes.txt", "plain");
        root_->Write("dir/index.html", "<p>index");
        nginx_ = LocalServer::StartNginx(
            root_->Path(), "location = /moved { return 302 /dir/index.html; }\n"
                           "    location = /away { return 302 http://127.0.0.1:1/x; }");
        proxy_ = LocalServer::StartTinyproxy();
    }
    static void TearDownTestSuite() {
        nginx_.reset();
        proxy_.reset();
        root_.reset();
    }
    void SetUp() override {
        if (!nginx_) GTEST_SKIP() << "nginx is not installed";
    }

    static std::unique_ptr<TempFolder> root_;
    static std::unique_ptr<LocalServer> nginx_, proxy_;
};
std::unique_ptr<TempFolder> RealServers::root_;
std::unique_ptr<LocalServer> RealServers::nginx_, RealServers::proxy_;

struct Fetch {
    const char* path;
    size_t size;
    TContentKind kind;
};

const Fetch Fetches[] = {{"/empty.htm", 0, ckHTML},    {"/b8192.htm", 8192, ckHTML},
                         {"/b8193.htm", 8193, ckHTML}, {"/pic.gif", 6, ckImage},
                         {"/notes.txt", 5, ckText},    {"/moved", 8, ckHTML}};

void CheckFetches(const LocalServer& server, const std::string& proxy, const std::string& root) {
    for (const auto& f : Fetches) {
        auto c = TURLConnection::CreateForURL(server.Address(f.path));
        if (!proxy.empty()) {
            c->Proxy = proxy.substr(0, proxy.find(':'));
            c->ProxyPort = proxy.substr(proxy.find(':') + 1);
        }
        c->Get(server.Address(f.path));
        const std::string file = std::string(f.path) == "/moved" ? "dir/index.html" : f.path + 1;
        std::ifstream in(root + file, std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(Bytes(*c), expected) << f.path;
        EXPECT_EQ(Bytes(*c).size(), f.size) << f.path;
        EXPECT_EQ(c->ContentKind(), f.kind) << f.path;
        EXPECT_EQ(c->StatusCode(), 200) << f.path;
        EXPECT_EQ(c->ContentLength(), static_cast<int64_t>(f.size)) << f.path;
    }
}

TEST_F(RealServers, FetchesDirectlyAndThroughTheProxy) {
    CheckFetches(*nginx_, "", root_->Path());
    if (!proxy_) GTEST_SKIP() << "tinyproxy is not installed";
    CheckFetches(*nginx_, proxy_->HostPort(), root_->Path());
}

TEST_F(RealServers, FiftyMegabytesByteExactInMemoryAndIntoADiscardingStream) {
    root_->Write("big.bin", Pattern(50 * 1024 * 1024)); // only this test needs it
    THTTPConnection c;
    c.Get(nginx_->Address("/big.bin"));
    EXPECT_EQ(Bytes(c) == Pattern(50 * 1024 * 1024), true);
    THTTPConnection d;
    TNullStream discard;
    d.UseStream(&discard);
    d.Get(nginx_->Address("/big.bin"));
    EXPECT_EQ(discard.Size(), 50 * 1024 * 1024);
    EXPECT_EQ(d.ReceivedBytes(), 50 * 1024 * 1024);
    TempFolder out;
    {
        TFileStream file(out / "copy.bin", TFileStream::Mode::Create);
        THTTPConnection e;
        e.UseStream(&file);
        e.Get(nginx_->Address("/big.bin"));
    }
    EXPECT_EQ(out.Read("copy.bin").size(), 50u * 1024 * 1024);
}

TEST_F(RealServers, NotFoundRaisesWithTheReasonPhrase) {
    for (const std::string& proxy : {std::string(), proxy_ ? proxy_->HostPort() : std::string()}) {
        THTTPConnection c;
        if (!proxy.empty()) {
            c.Proxy = proxy.substr(0, proxy.find(':'));
            c.ProxyPort = proxy.substr(proxy.find(':') + 1);
        }
        try {
            c.Get(nginx_->Address("/nothing-here.htm"));
            ADD_FAILURE() << "no exception";
        } catch (const EHttpException& e) {
            EXPECT_STREQ(e.what(), "Not Found");
            EXPECT_EQ(e.ErrorCode, 404);
        }
        EXPECT_EQ(c.StatusCode(), 404);
    }
}

TEST_F(RealServers, AsyncFetchesReportRefusalsAsErrors) {
    THTTPConnection c;
    std::vector<int> errors;
    c.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t e) { errors.push_back(e); };
    c.GetAsync(nginx_->Address("/nothing-here.htm"));
    ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, std::vector<int>{404});
    // A redirection to a closed port fails as a refused connection.
    c.GetAsync(nginx_->Address("/away"));
    ASSERT_TRUE(PumpUntil([&] { return errors.size() == 2; }));
    EXPECT_EQ(errors[1], 10061);
}

TEST_F(RealServers, PostGoesStraightToTheServer) {
    ScriptedServer server(ScriptedServer::Reply("HTTP/1.0 200 OK\r\n\r\nthanks"));
    THTTPConnection c;
    c.Proxy = "127.0.0.1";
    c.ProxyPort = proxy_ ? std::to_string(proxy_->Port()) : "1";
    TMemoryStream data;
    data.Write(std::string_view("name=value"));
    data.Seek(0);
    c.PostStream = &data;
    c.ContentTypePost = "application/x-www-form-urlencoded";
    std::vector<std::string> commands;
    c.OnCommand = [&](TURLConnection&, const std::string& s) { commands.push_back(s); };
    c.Post(server.Address("/form.cgi"));
    EXPECT_EQ(Bytes(c), "thanks");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].rfind("POST /form.cgi HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(server.Requests()[0].find("\r\n\r\nname=value"), std::string::npos);
    EXPECT_TRUE(commands.empty());
    // A GET on the same connection does go through the proxy.
    if (!proxy_) return;
    c.Get(server.Address("/page.htm"));
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[1].rfind("GET /page.htm HTTP/1.", 0), 0u);
    EXPECT_FALSE(commands.empty());
    EXPECT_EQ(commands[0], "GET " + server.Address("/page.htm") + " HTTP/1.0");
}

TEST_F(RealServers, TenConnectionsFreedInTheirOwnRequestDone) {
    std::vector<std::unique_ptr<TURLConnection>> connections(10);
    int finished = 0;
    for (size_t i = 0; i < connections.size(); ++i) {
        const std::string url = nginx_->Address(i % 2 ? "/b8193.htm" : "/pic.gif");
        connections[i] = TURLConnection::CreateForURL(url);
        connections[i]->OnRequestDone = [&, i](TURLConnection&, THttpRequest, uint16_t error) {
            EXPECT_EQ(error, 0);
            EXPECT_EQ(Bytes(*connections[i]).size(), i % 2 ? 8193u : 6u);
            connections[i].reset();
            ++finished;
        };
        connections[i]->GetAsync(url);
    }
    ASSERT_TRUE(PumpUntil([&] { return finished == 10; }));
    PumpFor(20);
}

} // namespace
} // namespace lumo
