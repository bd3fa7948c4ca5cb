// Frameset sizing as the program lays it out, read from the rectangles of
// `lumo --dump-layout`. Each expectation is worked out by hand from the
// rules: fixed pixels first; percentages of the whole share what is left
// (at most all of it); shares split the rest in whole pixels per share; with
// too little room the fixed sizes shrink alike and the others get nothing;
// sizes are then stretched over the set so the running ends are
// total-relative and the last child ends at the edge.
#include "tests/app/run_lumo.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// The tree lines of a dump (before the documents), without the sources.
std::string DumpTree(const test::TempFolder& home, const std::string& html,
                     const std::string& size) {
    home.Write("set.htm", html);
    home.Write("f.htm", "<P>frame");
    const std::string out = test::RunLumo(home.Path(), {"--dump-layout", "--size", test::Q(size),
                                                        test::Q(home / "set.htm")})
                                .output;
    std::string tree;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        std::string line = out.substr(start, end - start);
        start = end == std::string::npos ? out.size() : end + 1;
        if (line.starts_with("---")) break;
        if (const size_t source = line.find(" source "); source != std::string::npos)
            line.erase(source);
        tree += line + '\n';
    }
    return tree;
}

std::string Frames(const std::string& attributes, int count) {
    std::string html = "<FRAMESET " + attributes + ">";
    for (int i = 0; i < count; ++i)
        html += "<FRAME SRC=\"f.htm\">";
    return html + "</FRAMESET>";
}

TEST(FramesetSizing, RectanglesFollowTheSizingRules) {
    struct Row {
        const char* what;
        std::string html;
        const char* size;
        const char* tree;
    };
    const Row rows[] = {
        // 400 high: 100 fixed, 300 left for 3 shares of 100.
        {"pixels and shares", Frames("ROWS=\"100,*,2*\"", 3), "800x400",
         "frameset at 0 0 800 400 rows 100,*,2*\n"
         "  frame 1 at 0 0 800 100\n  frame 2 at 0 100 800 100\n  frame 3 at 0 200 800 200\n"},
        // 25% of 800 is 200; the share takes the other 600.
        {"percent and a share", Frames("COLS=\"25%,*\"", 2), "800x600",
         "frameset at 0 0 800 600 cols 25%,*\n"
         "  frame 1 at 0 0 200 600\n  frame 2 at 200 0 600 600\n"},
        // 300 wide: 100 fixed leaves 200; 100% of 300 is capped at those 200.
        {"percentages capped by the room left", Frames("COLS=\"50%,50%,100\"", 3), "300x200",
         "frameset at 0 0 300 200 cols 50%,50%,100\n"
         "  frame 1 at 0 0 100 200\n  frame 2 at 100 0 100 200\n  frame 3 at 200 0 100 200\n"},
        // 600 fixed in 400: each 300 shrinks to 300 * 400 / 600 = 200.
        {"over-subscribed pixels", Frames("ROWS=\"300,300\"", 2), "800x400",
         "frameset at 0 0 800 400 rows 300,300\n"
         "  frame 1 at 0 0 800 200\n  frame 2 at 0 200 800 200\n"},
        // 120% of 800 is more than the 800 there are: each 60% gets half.
        {"over-subscribed percent", Frames("COLS=\"60%,60%\"", 2), "800x600",
         "frameset at 0 0 800 600 cols 60%,60%\n"
         "  frame 1 at 0 0 400 600\n  frame 2 at 400 0 400 600\n"},
        // 300 of 600 assigned; stretched, the ends are 100 * 2 = 200 and 600.
        {"under-subscribed pixels", Frames("COLS=\"100,200\"", 2), "600x600",
         "frameset at 0 0 600 600 cols 100,200\n"
         "  frame 1 at 0 0 200 600\n  frame 2 at 200 0 400 600\n"},
        // 100 fixed, 50% of 600 = 300 from the 500 left, the share the last 200.
        {"mixed", Frames("ROWS=\"100,50%,*\"", 3), "800x600",
         "frameset at 0 0 800 600 rows 100,50%,*\n"
         "  frame 1 at 0 0 800 100\n  frame 2 at 0 100 800 300\n  frame 3 at 0 400 800 200\n"},
        // "0" is 1 pixel, "0*" one share, "0%" 1%: 1 fixed, 1% of 800 = 8, 791 to the share.
        {"zeros", Frames("COLS=\"0,0*,0%\"", 3), "800x600",
         "frameset at 0 0 800 600 cols 1,*,1%\n"
         "  frame 1 at 0 0 1 600\n  frame 2 at 1 0 791 600\n  frame 3 at 792 0 8 600\n"},
        // A single ROWS entry gives way to COLS: 20% of 800 is 160.
        {"one row gives way to columns", Frames("ROWS=\"*\" COLS=\"20%,80%\"", 2), "800x600",
         "frameset at 0 0 800 600 cols 20%,80%\n"
         "  frame 1 at 0 0 160 600\n  frame 2 at 160 0 640 600\n"},
        // A third frame takes one more share: 800 div 3 = 266 each (798), stretched
        // to ends 266, 533 and 800.
        {"more frames than entries", Frames("COLS=\"*,*\"", 3), "800x600",
         "frameset at 0 0 800 600 cols *,*,*\n"
         "  frame 1 at 0 0 266 600\n  frame 2 at 266 0 267 600\n  frame 3 at 533 0 267 600\n"},
        // A missing third frame is added empty.
        {"more entries than frames", Frames("COLS=\"*,*,*\"", 2), "800x600",
         "frameset at 0 0 800 600 cols *,*,*\n"
         "  frame 1 at 0 0 266 600\n  frame 2 at 266 0 267 600\n"
         "  frame 3 at 533 0 267 600 empty\n"},
        // Neither ROWS nor COLS: side by side, one share each.
        {"no list", Frames("", 2), "800x600",
         "frameset at 0 0 800 600 cols *,*\n"
         "  frame 1 at 0 0 400 600\n  frame 2 at 400 0 400 600\n"},
        // The nested set gets the 600 pixels right of the 200 and splits its height.
        {"nesting",
         "<FRAMESET COLS=\"200,*\"><FRAME SRC=\"f.htm\"><FRAMESET ROWS=\"50%,*\">"
         "<FRAME SRC=\"f.htm\"><FRAME SRC=\"f.htm\"></FRAMESET></FRAMESET>",
         "800x600",
         "frameset at 0 0 800 600 cols 200,*\n  frame 1 at 0 0 200 600\n"
         "  frameset at 200 0 600 600 rows 50%,*\n"
         "    frame 2 at 200 0 600 300\n    frame 3 at 200 300 600 300\n"},
        // BORDER 0: no bevels on the frames, a sunken edge of 2 around the set, so
        // the frames share 796 x 596 from (2, 2).
        {"border 0", Frames("COLS=\"*,*\" BORDER=0", 2), "800x600",
         "frameset at 0 0 800 600 cols *,*\n"
         "  frame 1 at 2 2 398 596\n  frame 2 at 400 2 398 596\n"},
        // BORDER 5: bevels of 5 inside the frames and no edge around the set.
        {"border 5", Frames("COLS=\"*,*\" BORDER=5", 2), "800x600",
         "frameset at 0 0 800 600 cols *,*\n"
         "  frame 1 at 0 0 400 600\n  frame 2 at 400 0 400 600\n"},
    };
    test::TempFolder home;
    for (const Row& row : rows)
        EXPECT_EQ(DumpTree(home, row.html, row.size), row.tree) << row.what;
}

} // namespace
} // namespace lumo
