#include "net/line_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

// Feeds pieces and takes every complete line after each.
std::vector<std::string> Lines(TLineBuffer& b, const std::vector<std::string>& pieces,
                               bool edit = false, std::string* echo = nullptr) {
    std::vector<std::string> lines;
    for (const std::string& piece : pieces) {
        if (edit)
            b.AppendEdited(piece, "\r\n", echo);
        else
            b.Append(piece);
        while (const size_t n = b.FindLine("\r\n")) {
            std::string line(n, '\0');
            EXPECT_EQ(b.Read(line.data(), n, TLineBuffer::Lines::Yes), n);
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(LineBuffer, LinesAcrossPieces) {
    const struct {
        std::vector<std::string> pieces;
        std::vector<std::string> lines;
        const char* left;
    } rows[] = {
        {{"ab\r\ncd"}, {"ab\r\n"}, "cd"},
        {{"ab\r", "\ncd\r", "\n"}, {"ab\r\n", "cd\r\n"}, ""},
        {{"a", "b", "\r", "\n"}, {"ab\r\n"}, ""},
        {{"\r\n\r\n"}, {"\r\n", "\r\n"}, ""},
        {{"a\rb\nc\r\n"}, {"a\rb\nc\r\n"}, ""},
    };
    for (const auto& r : rows) {
        TLineBuffer b;
        EXPECT_EQ(Lines(b, r.pieces), r.lines);
        EXPECT_EQ(b.Bytes(), r.left);
    }
}

TEST(LineBuffer, Editing) {
    const struct {
        std::vector<std::string> pieces;
        const char* line;
        const char* echo;
    } rows[] = {
        {{"ab\bc\r\n"}, "ac\r\n", "ab\b \bc\r\n"},
        {{"\bx\r\n"}, "x\r\n", "x\r\n"}, // nothing before it: the backspace is dropped
        {{"ab", "\b\b\b\b", "z\r\n"}, "z\r\n", "ab\b \b\b \bz\r\n"},
        {{"\tx\r\n"}, "        x\r\n", "        x\r\n"},
        {{"abc\tx\r\n"}, "abc     x\r\n", "abc     x\r\n"},
        {{"abcdefgh\tx\r\n"}, "abcdefgh        x\r\n", "abcdefgh        x\r\n"},
        // The backspace uncovers a CR searched before: the next LF ends the line.
        {{"a\rb", "\b\n"}, "a\r\n", "a\rb\b \b\n"},
    };
    for (const auto& r : rows) {
        TLineBuffer b;
        std::string echo;
        EXPECT_EQ(Lines(b, r.pieces, true, &echo), std::vector<std::string>{r.line}) << r.line;
        EXPECT_EQ(echo, r.echo) << r.line;
    }
}

TEST(LineBuffer, BackspaceNeverReachesAnEarlierLine) {
    TLineBuffer b;
    b.AppendEdited("ab\r\n", "\r\n", nullptr); // a line not taken yet
    b.AppendEdited("\b\bc\r\n", "\r\n", nullptr);
    EXPECT_EQ(b.Bytes(), "ab\r\nc\r\n");
}

TEST(LineBuffer, ThousandTabsGrowIntoTheBuffersOwnStorage) {
    TLineBuffer b;
    std::string echo;
    EXPECT_EQ(Lines(b, {std::string(1000, '\t') + "\r\n"}, true, &echo),
              std::vector<std::string>{std::string(8000, ' ') + "\r\n"});
    EXPECT_EQ(echo.size(), 8002u);
}

TEST(LineBuffer, ANewLineEndIsSoughtInEverythingWaiting) {
    TLineBuffer b;
    b.Append("a;b");
    EXPECT_EQ(b.FindLine("\r\n"), 0u);
    EXPECT_EQ(b.FindLine(";\n"), 0u);
    EXPECT_EQ(b.FindLine("a;"), 2u);
}

TEST(LineBuffer, ALineWithoutEndIsDeliveredAtTheLimit) {
    TLineBuffer b(100);
    b.Append(std::string(99, 'x'));
    EXPECT_EQ(b.FindLine("\r\n"), 0u);
    EXPECT_EQ(b.Room(), 1u);
    b.Append("y");
    EXPECT_EQ(b.Room(), 0u);
    EXPECT_EQ(b.FindLine("\r\n"), 100u);
    b.DiscardLine();
    EXPECT_EQ(b.Size(), 0u);
    b.Append("last");
    EXPECT_EQ(b.FindLine("\r\n", TLineBuffer::Final::Yes), 4u);
}

// A line delivered at the limit is read as it came, however much of it is
// still unread when backspaces arrive; limits up to 4096 bytes keep the
// buffer from compacting, where a miscount would wrap its size.
TEST(LineBuffer, BackspacesNeverReachALineDeliveredAtTheLimit) {
    for (const size_t limit : {size_t{2}, size_t{16}, size_t{4096}, size_t{4097}, size_t{8192}}) {
        TLineBuffer b(limit);
        std::string sent;
        for (size_t i = 0; i < limit; ++i)
            sent += static_cast<char>('a' + i % 26);
        b.AppendEdited(sent, "\r\n", nullptr);
        ASSERT_EQ(b.FindLine("\r\n"), limit) << limit;
        std::string read(limit, '\0');
        ASSERT_EQ(b.Read(read.data(), limit / 2, TLineBuffer::Lines::Yes), limit / 2);
        b.AppendEdited("\b\b\bz\b\r\n", "\r\n", nullptr);
        EXPECT_EQ(b.Read(read.data() + limit / 2, limit, TLineBuffer::Lines::Yes),
                  limit - limit / 2);
        EXPECT_EQ(read, sent) << limit;
        EXPECT_EQ(b.Bytes(), "\r\n") << limit;
    }
}

TEST(LineBuffer, PartialReadsKeepTheRestOfTheLine) {
    TLineBuffer b;
    b.Append("hello\r\nnext");
    ASSERT_EQ(b.FindLine("\r\n"), 7u);
    char out[4];
    EXPECT_EQ(b.Read(out, 4, TLineBuffer::Lines::Yes), 4u);
    EXPECT_EQ(b.LineLeft(), 3u);
    EXPECT_EQ(b.Read(out, 4, TLineBuffer::Lines::Yes), 3u);
    EXPECT_EQ(std::string(out, 3), "o\r\n");
    EXPECT_EQ(b.Read(out, 4, TLineBuffer::Lines::Yes), 0u); // "next" has no end yet
    EXPECT_EQ(b.Read(out, 4, TLineBuffer::Lines::No), 4u);
}

TEST(LineBuffer, ManyLinesInOneBurst) {
    std::string burst;
    for (int i = 0; i < 100000; ++i)
        burst += "line " + std::to_string(i) + "\r\n";
    TLineBuffer b;
    const std::vector<std::string> lines = Lines(b, {burst});
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines[99999], "line 99999\r\n");
    EXPECT_EQ(b.Size(), 0u);
}

} // namespace
} // namespace lumo
