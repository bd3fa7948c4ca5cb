// The web archive reader, index and connection on archives written here
// record by record, plain and gzipped, sound and damaged.
#include "net/archive_address.h"
#include "net/archive_connection.h"
#include "net/archive_index.h"
#include "net/archive_record_reader.h"
#include "net/web_archive.h"
#include "platform/stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumo {
namespace {

std::string Gzip(const std::string& bytes) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, bytes.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string HttpResponse(int status, const std::string& type, const std::string& body,
                         const std::string& extra = {}) {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Type: " + type + "\r\n" + extra +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct Record {
    std::string type, uri, date, block, headers;
};

std::string Warc(const Record& r, const std::string& version = "WARC/1.0") {
    const std::string contentType =
        r.type == "warcinfo"   ? "application/warc-fields"
        : r.type == "resource" ? "text/html"
                               : "application/http; msgtype=" +
                                     std::string(r.type == "request" ? "request" : "response");
    std::string head = version + "\r\nWARC-Type: " + r.type + "\r\n";
    if (!r.uri.empty()) head += "WARC-Target-URI: " + r.uri + "\r\n";
    head += "WARC-Date: " + r.date + "\r\nContent-Type: " + contentType + "\r\n" + r.headers +
            "Content-Length: " + std::to_string(r.block.size()) + "\r\n\r\n";
    return head + r.block + "\r\n\r\n";
}

class WebArchive : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("lumo-warc-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string IndexFolder() const { return (folder_ / "index").string(); }

    // A small site: three captures of one page, a redirect, a picture, a
    // revisit of the picture, and records that show nothing.
    std::vector<Record> Site() const {
        return {
            {"warcinfo", "", "2001-01-01T00:00:00Z", "software: test\r\n", ""},
            {"request", "http://example.com/", "2001-01-01T00:00:01Z", "GET / HTTP/1.0\r\n\r\n",
             ""},
            {"response", "<http://www.example.com/>", "2001-01-01T00:00:01Z",
             HttpResponse(200, "text/html", "<title>First\n one</title>January"),
             "WARC-Record-ID: <urn:uuid:1>\r\n"},
            {"response", "http://example.com/", "2001-06-01T00:00:00Z",
             HttpResponse(200, "text/html", "<TITLE>Second</TITLE>June"), ""},
            {"response", "http://example.com/", "2001-12-01T00:00:00.123Z",
             HttpResponse(200, "text/html; charset=koi8-r", "<title>Third</title>December"), ""},
            {"response", "http://example.com/old", "2001-06-01T00:00:00Z",
             HttpResponse(301, "text/html", "moved", "Location: /new.htm\r\n"), ""},
            {"response", "http://example.com/new.htm", "2001-06-01T00:00:00Z",
             HttpResponse(200, "text/html", "new page"), ""},
            {"response", "http://example.com/a.gif", "2001-06-01T00:00:00Z",
             HttpResponse(200, "image/gif", "GIF89a"),
             "WARC-Record-ID: <urn:uuid:9>\r\nWARC-Payload-Digest: sha1:AAA\r\n"},
            {"revisit", "http://example.com/a.gif", "2001-07-01T00:00:00Z",
             "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\n\r\n",
             "WARC-Refers-To: <urn:uuid:9>\r\n"},
            {"resource", "http://example.com/res.htm", "2001-06-01T00:00:00Z", "<p>resource", ""},
        };
    }
    std::string PlainSite() const {
        std::string bytes;
        for (const Record& r : Site())
            bytes += Warc(r, r.type == "resource" ? "WARC/1.1" : "WARC/1.0");
        return bytes;
    }
    std::string GzipSite() const {
        std::string bytes;
        for (const Record& r : Site())
            bytes += Gzip(Warc(r));
        return bytes;
    }

    std::filesystem::path folder_;
};

TEST(ArchiveKey, LeniencesMatchTheSameDocument) {
    const struct {
        const char* address;
        const char* key;
    } rows[] = {
        {"http://example.com/", "example.com"},
        {"HTTPS://WWW.Example.COM", "example.com"},
        {"http://example.com:80/a/", "example.com/a"},
        {"https://example.com:443/a", "example.com/a"},
        {"http://example.com:8080/a", "example.com:8080/a"},
        {"http://example.com/a?b=2&a=1#top", "example.com/a?a=1&b=2"},
        {"http://example.com/a?", "example.com/a"},
        {"http://example.com/A.htm", "example.com/A.htm"}, // paths keep their case
        {"http://wwwexample.com/", "wwwexample.com"},
        {"ftp://example.com/x", "ftp://example.com/x"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ArchiveKey(row.address), row.key) << row.address;
}

TEST(ArchiveDate, WarcAndArcForms) {
    const struct {
        const char* text;
        uint64_t date;
    } rows[] = {
        {"2001-06-01T12:34:56Z", 20010601123456},
        {"2001-06-01T12:34:56.123456Z", 20010601123456},
        {"20010601123456", 20010601123456},
        {"2001", 20010101000000},
        {"200106", 20010601000000},
        {"yesterday", 0},
        {"", 0},
        {"200106011234567", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseArchiveDate(row.text), row.date) << row.text;
    EXPECT_EQ(ArchiveDateSeconds(19700101000000), 0);
    EXPECT_EQ(ArchiveDateSeconds(20010101000001) - ArchiveDateSeconds(20001231235959), 2);
}

TEST(ArcHeaderLine, VersionOneAndTwo) {
    TRecordHeader h;
    ASSERT_TRUE(ParseArcHeaderLine("http://a.com/ 1.2.3.4 19990101000000 text/html 42", h));
    EXPECT_EQ(h.TargetURI, "http://a.com/");
    EXPECT_EQ(h.Date, 19990101000000u);
    EXPECT_EQ(h.ContentLength, 42);
    ASSERT_TRUE(ParseArcHeaderLine(
        "http://a.com/x.gif 1.2.3.4 19990101000000 image/gif 200 abc - 0 f.arc 7", h));
    EXPECT_EQ(h.ContentLength, 7);
    EXPECT_FALSE(ParseArcHeaderLine("http://a.com/ 1.2.3.4 19990101000000 text/html", h));
    EXPECT_FALSE(ParseArcHeaderLine("http://a.com/ 1.2.3.4 19990101000000 text/html -1", h));
    EXPECT_FALSE(ParseArcHeaderLine("a b c d 5", h));
}

TEST_F(WebArchive, PlainAndGzipFilesGiveTheSameIndex) {
    for (const std::string& name : {std::string("site.warc"), std::string("site.warc.gz")}) {
        SCOPED_TRACE(name);
        const std::string bytes = name.ends_with(".gz") ? GzipSite() : PlainSite();
        const TWebArchive archive(Write(name, bytes), IndexFolder());
        const TArchiveIndex& index = archive.Index();
        EXPECT_TRUE(index.Errors().empty());
        // The request and the warcinfo record are left out.
        ASSERT_EQ(index.Entries().size(), 8u);
        const TArchiveEntry& first = index.Entries()[0];
        EXPECT_EQ(first.Address, "http://www.example.com/");
        EXPECT_EQ(first.Title, "First one");
        EXPECT_EQ(first.Status, 200);
        EXPECT_EQ(index.Entries()[3].Status, 301);
        EXPECT_EQ(index.Entries()[7].Kind, TCaptureKind::Resource);
        // Each entry's place reads back as its own record.
        for (const TArchiveEntry& e : index.Entries())
            EXPECT_EQ(index.AtPlace(e.Place), &e);
        if (name.ends_with(".gz")) {
            // A member's length is its compressed one.
            EXPECT_EQ(index.Entries()[1].Place.Offset,
                      index.Entries()[0].Place.Offset + index.Entries()[0].Length);
        }
    }
}

TEST_F(WebArchive, NearestCaptureAndRevisits) {
    const TWebArchive archive(Write("site.warc", PlainSite()), IndexFolder());
    const TArchiveIndex& index = archive.Index();
    const struct {
        uint64_t date;
        const char* body;
    } rows[] = {
        {0, "December"}, // no date: the latest
        {20000101000000, "January"},
        {20010301000000, "January"}, // nearer January than June
        {20010401000000, "June"},
        {20010915000000, "December"}, // 77 days from December, 106 from June
        {20300101000000, "December"},
    };
    for (const auto& row : rows) {
        const TArchiveEntry* e = index.Find("https://example.com", row.date);
        ASSERT_NE(e, nullptr);
        EXPECT_NE(archive.Read(*e).Body.find(row.body), std::string::npos) << row.date;
    }
    const TArchiveEntry* revisit = index.Find("http://example.com/a.gif", 20010701000000);
    ASSERT_NE(revisit, nullptr);
    EXPECT_EQ(revisit->Kind, TCaptureKind::Revisit);
    EXPECT_EQ(archive.Read(*revisit).Body, "GIF89a");
    EXPECT_EQ(index.Find("http://example.com/missing", 0), nullptr);
}

TEST_F(WebArchive, ConnectionFollowsRedirectsAndListsPages) {
    auto archive = std::make_shared<TWebArchive>(Write("site.warc", PlainSite()), IndexFolder());
    const std::string self = "file://" + archive->FileName();
    TArchiveConnection c(archive, self);
    TMemoryStream body;
    c.UseStream(&body);
    std::vector<std::string> locations;
    c.OnHeaderData = [&](TURLConnection&) { locations.push_back(c.LastLine()); };

    c.Get("http://example.com/old");
    EXPECT_EQ(body.Bytes(), "new page");
    // The header lines an HTTP fetch of the same would tell.
    EXPECT_EQ(locations, (std::vector<std::string>{"Location: http://example.com/new.htm",
                                                   "Content-Type: text/html"}));
    EXPECT_EQ(c.ContentKind(), ckHTML);

    c.Get("http://example.com/a.gif");
    EXPECT_EQ(c.ContentKind(), ckImage);

    try {
        c.Get("http://example.com/nothing.htm");
        ADD_FAILURE() << "a missing address was served";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Not in this archive: http://example.com/nothing.htm");
    }

    // The index page lists the HTML captures with a link to each, sorted by address.
    c.Get(self);
    const std::string page = body.Bytes();
    EXPECT_NE(page.find("5 of 5 pages"), std::string::npos) << page;
    EXPECT_LT(page.find(">http://example.com/<"), page.find(">http://example.com/new.htm<"));
    EXPECT_NE(page.find("<TD>First one</TD>"), std::string::npos);

    c.Get(self + "?filter=Dec");
    EXPECT_NE(body.Bytes().find("0 of 5 pages"), std::string::npos);
    c.Get(self + "?filter=third");
    EXPECT_NE(body.Bytes().find("1 of 5 pages"), std::string::npos);

    // Following an entry shows that capture under its own address, and its
    // date becomes the page's.
    locations.clear();
    const TArchiveEntry& january = archive->Index().Entries()[0];
    c.Get(self + "?capture=" + PlaceText(january.Place));
    EXPECT_EQ(locations, (std::vector<std::string>{"Location: http://www.example.com/",
                                                   "Content-Type: text/html"}));
    EXPECT_NE(body.Bytes().find("January"), std::string::npos);
    EXPECT_EQ(archive->PageDate, january.Date);
    c.Get("http://example.com/");
    EXPECT_NE(body.Bytes().find("January"), std::string::npos);
}

// Ten redirections in a row are followed; the eleventh is refused.
TEST_F(WebArchive, TenRedirectionsInARowAtMost) {
    std::string bytes;
    for (int i = 0; i <= 10; ++i)
        bytes += Warc(
            {"response", "http://example.com/r" + std::to_string(i), "2001-06-01T00:00:00Z",
             HttpResponse(302, "text/html", "on", "Location: /r" + std::to_string(i + 1) + "\r\n"),
             ""});
    bytes += Warc({"response", "http://example.com/r11", "2001-06-01T00:00:00Z",
                   HttpResponse(200, "text/html", "arrived"), ""});
    auto archive = std::make_shared<TWebArchive>(Write("chain.warc", bytes), IndexFolder());
    TArchiveConnection c(archive, "file://" + archive->FileName());
    TMemoryStream body;
    c.UseStream(&body);
    c.Get("http://example.com/r1");
    EXPECT_EQ(body.Bytes(), "arrived");
    try {
        c.Get("http://example.com/r0");
        ADD_FAILURE() << "eleven redirections were followed";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Too many redirections at http://example.com/r10");
    }
}

TEST_F(WebArchive, SavedIndexIsKeyedBySizeAndTime) {
    const std::string file = Write("site.warc", PlainSite());
    const TWebArchive first(file, IndexFolder());
    EXPECT_FALSE(first.IndexWasSaved());
    const TWebArchive second(file, IndexFolder());
    EXPECT_TRUE(second.IndexWasSaved());
    ASSERT_EQ(second.Index().Entries().size(), first.Index().Entries().size());
    for (size_t i = 0; i < first.Index().Entries().size(); ++i)
        EXPECT_EQ(ArchiveEntryJson(second.Index().Entries()[i]),
                  ArchiveEntryJson(first.Index().Entries()[i]));
    EXPECT_EQ(second.Index().Entries()[0].Title, "First one");

    // Another file under the same name is indexed afresh.
    Write("site.warc", PlainSite() + Warc(Site()[6]));
    const TWebArchive changed(file, IndexFolder());
    EXPECT_FALSE(changed.IndexWasSaved());
    EXPECT_EQ(changed.Index().Entries().size(), 9u);

    // A damaged index is built again.
    std::ofstream(ArchiveIndexFile(IndexFolder(), file), std::ios::app) << "garbage\tline\n";
    EXPECT_FALSE(TWebArchive(file, IndexFolder()).IndexWasSaved());
}

TEST_F(WebArchive, DamagedRecordsCostOnlyThemselves) {
    const std::vector<Record> site = Site();
    const std::string good = Warc(site[2]);
    const std::string after = Warc(site[6]);
    std::string wrongLength = Warc(site[3]);
    wrongLength.replace(wrongLength.find("Content-Length: ") + 16, 2, "99999");
    // Shorter than the head of the response it holds.
    std::string shortLength = Warc(site[3]);
    shortLength.replace(shortLength.find("Content-Length: ") + 16, 2, "10");
    // A page about archives quotes the start of a record that is none.
    std::string quoting =
        Warc({"response", "http://example.com/warc.htm", "2001-06-01T00:00:00Z",
              HttpResponse(200, "text/html", "<PRE>\r\nWARC/1.0\r\nWARC-Type: response\r\n"), ""});
    quoting.replace(quoting.find("Content-Length: ") + 16, 2, "99999");
    const struct {
        const char* name;
        std::string bytes;
        size_t entries;
        size_t errors = 0; // 0: at least one
    } rows[] = {
        {"wrong length.warc", good + Warc(site[3]).substr(0, 200) + after, 2},
        // The next record is found by a version line of up to 12 characters.
        {"long version.warc",
         good + Warc(site[3]).substr(0, 200) + "WARC/1.0.123" + after.substr(8), 2},
        {"too long version.warc",
         good + Warc(site[3]).substr(0, 200) + "WARC/1.0.1234" + after.substr(8), 1},
        {"long length.warc", good + wrongLength + after, 2},
        {"short length.warc", good + shortLength + after, 2},
        {"cut short.warc", good + after.substr(0, after.size() - 20), 1},
        {"no length.warc", good + "WARC/1.0\r\nWARC-Type: response\r\n\r\n" + after, 2},
        {"quoted record.warc", good + quoting + after, 2, 1},
        {"garbage.warc", good + std::string(5000, 'x') + "\n" + after, 2},
        {"bad member.warc.gz",
         Gzip(good) + Gzip(Warc(site[3])).substr(0, 30) + std::string(20, '\x55') + Gzip(after), 2},
        {"cut member.warc.gz", Gzip(good) + Gzip(after).substr(0, 25), 1},
        {"not a record.warc.gz", Gzip(good) + Gzip("hello\r\n\r\n") + Gzip(after), 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = Write(row.name, row.bytes);
        const TWebArchive archive(file, IndexFolder());
        EXPECT_EQ(archive.Index().Entries().size(), row.entries);
        EXPECT_FALSE(archive.Index().Errors().empty());
        if (row.errors) {
            EXPECT_EQ(archive.Index().Errors().size(), row.errors);
        }
        for (const TArchiveEntry& e : archive.Index().Entries())
            EXPECT_NO_THROW(archive.Read(e));
        // The saved index keeps the errors.
        const TWebArchive again(file, IndexFolder());
        EXPECT_TRUE(again.IndexWasSaved());
        ASSERT_EQ(again.Index().Errors().size(), archive.Index().Errors().size());
        for (size_t i = 0; i < archive.Index().Errors().size(); ++i) {
            EXPECT_EQ(again.Index().Errors()[i].Offset, archive.Index().Errors()[i].Offset);
            EXPECT_EQ(again.Index().Errors()[i].Message, archive.Index().Errors()[i].Message);
        }
    }
}

// A record whose response head runs past its length asks to skip a
// negative count; the stream must stay where it is.
TEST_F(WebArchive, StreamsNeverGoBack) {
    const TWebArchiveFile file(Write("bytes.warc", "WARC/1.0\r\nabcdef"));
    TRecordStream stream(file, 0);
    std::string line;
    ASSERT_TRUE(stream.ReadLine(line, 100));
    EXPECT_EQ(stream.Skip(-6), 0);
    EXPECT_EQ(stream.Position(), 10);
    char c = 0;
    EXPECT_EQ(stream.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'a');
}

TEST_F(WebArchive, RecordsTooLargeToShowAreRefused) {
    // A record that says it holds far more than the file: its place is
    // passed over without reading, and what it claims is never allocated.
    std::string huge = Warc(Site()[6]);
    huge.replace(huge.find("Content-Length: ") + 16, 2, "10000000000");
    const TWebArchive archive(Write("huge.warc", Warc(Site()[2]) + huge), IndexFolder());
    EXPECT_EQ(archive.Index().Entries().size(), 1u);
    ASSERT_EQ(archive.Index().Errors().size(), 1u);
    EXPECT_EQ(archive.Index().Errors()[0].Message, "the record is cut short");
}

TEST_F(WebArchive, ArcFiles) {
    const std::string page = HttpResponse(200, "text/html", "<title>Arc</title>old page");
    const std::string picture = HttpResponse(200, "image/gif", "GIF87a");
    const std::string version =
        "1 0 Test\nURL IP-address Archive-date Content-type Archive-length\n";
    const std::string v1 = "filedesc://x.arc 0.0.0.0 19990101000000 text/plain " +
                           std::to_string(version.size()) + "\n" + version + "\n" +
                           "http://a.com/ 1.2.3.4 19990101000000 text/html " +
                           std::to_string(page.size()) + "\n" + page + "\n" +
                           "http://a.com/p.gif 1.2.3.4 19990101000001 image/gif 200 x - 0 x.arc " +
                           std::to_string(picture.size()) + "\n" + picture + "\n";
    for (const std::string& name : {std::string("x.arc"), std::string("x.arc.gz")}) {
        SCOPED_TRACE(name);
        const TWebArchive archive(Write(name, name.ends_with(".gz") ? Gzip(v1) : v1),
                                  IndexFolder());
        ASSERT_EQ(archive.Index().Entries().size(), 2u);
        EXPECT_TRUE(archive.Index().Errors().empty());
        EXPECT_EQ(archive.Index().Entries()[0].Title, "Arc");
        EXPECT_EQ(archive.Read(*archive.Index().Find("http://a.com/p.gif", 0)).Body, "GIF87a");
    }
}

TEST(ArchiveEntryJson, EscapesWhatJsonCannotHold) {
    TArchiveEntry e;
    e.Address = "http://a.com/\"q\"\\\x01\xE9";
    e.ContentType = "text/html";
    e.Date = 20010101000000;
    e.Length = 10;
    e.Place.Offset = 5;
    EXPECT_EQ(ArchiveEntryJson(e),
              "{\"address\":\"http://a.com/\\\"q\\\"\\\\\\u0001\\u00e9\",\"date\":"
              "\"20010101000000\",\"type\":\"response\",\"content_type\":\"text/html\","
              "\"status\":200,\"length\":10,\"offset\":5}");
}

} // namespace
} // namespace lumo
