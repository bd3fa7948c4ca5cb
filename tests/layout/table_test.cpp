// Tables built from markup: grid shapes, attributes, layout, hit tests and
// paint, and inputs that must stay bounded.
#include "tests/support/layout_fixture.h"

#include "layout/table_block.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

std::vector<THtmlTable*> Tables(const Doc& doc) {
    std::vector<THtmlTable*> out;
    for (TTableBlock* b : All<TTableBlock>(doc.list))
        out.push_back(b->Table);
    return out;
}

THtmlTable& FirstTable(const Doc& doc) {
    auto tables = Tables(doc);
    EXPECT_FALSE(tables.empty());
    return *tables.at(0);
}

// Each row as its cells' "column:text" (spans as "+colspan/rowspan").
std::string Grid(const THtmlTable& table) {
    std::string out;
    for (const auto& row : table.Rows) {
        out += "|";
        for (const auto& cell : row->Cells) {
            std::string text;
            for (TSection* s : All<TSection>(cell->Cell))
                text += s->Text;
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            out += " " + std::to_string(cell->Col) + ":" + text;
            if (cell->ColSpan > 1 || cell->RowSpan > 1)
                out += "+" + std::to_string(cell->ColSpan) + "/" + std::to_string(cell->RowSpan);
        }
    }
    return out;
}

TEST(TableGrid, Shapes) {
    const struct {
        const char* html;
        const char* grid;
        int cols;
    } rows[] = {
        {"<TABLE><TD>a<TD>b</TABLE>", "| 0:a 1:b", 2},
        {"<TABLE><TR><TD>a</TD></TR></TR><TR><TD>b</TABLE>", "| 0:a| 0:b", 1},
        // A finished cell is added once, whatever end tags follow it.
        {"<TABLE><TR><TD>a</TD></TR><TD>b</TD></TD></TABLE>", "| 0:a| 0:b", 1},
        {"<TABLE><TR><TD COLSPAN=3>a<TD>b<TD>c</TABLE>", "| 0:a+3/1 3:b 4:c", 5},
        // Cells to the right of a row span move past it and keep their spans.
        {"<TABLE><TR><TD ROWSPAN=2>a<TD>b<TR><TD COLSPAN=2>c<TD>d</TABLE>",
         "| 0:a+1/2 1:b| 1:c+2/1 3:d", 4},
        // A row span past the last row is cut there.
        {"<TABLE><TR><TD ROWSPAN=9>a<TD>b<TR><TD>c</TABLE>", "| 0:a+1/2 1:b| 1:c", 2},
        // Spans far too large are cut to the grid.
        {"<TABLE><TR><TD COLSPAN=100000 ROWSPAN=100000>a</TABLE>", "| 0:a+200/1", 200},
        {"<TABLE><TR><TD COLSPAN=199>a<TD>b</TABLE>", "| 0:a+199/1 199:b", 200},
        {"<TABLE><TR><TD COLSPAN=200>a<TD>b</TABLE>", "| 0:a+200/1", 200},
        // Stray tags between cells are passed over; an empty row stays, 0 high.
        {"<TABLE><TR></TR><B><TR><TD>a</TABLE>", "|| 0:a", 1},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        const THtmlTable& table = FirstTable(doc);
        EXPECT_EQ(Grid(table), row.grid) << row.html;
        EXPECT_EQ(table.NumCols, row.cols) << row.html;
    }
}

TEST(TableGrid, TextBetweenCellsGoesBeforeTheTable) {
    Doc doc("<TABLE>x<TR><TD>y</TABLE>z");
    const TCellBasic& body = All<TBlock>(doc.list).at(0)->Content;
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(dynamic_cast<TSection&>(*body[0]).Text, "x");
    EXPECT_NE(dynamic_cast<TTableBlock*>(body[1].get()), nullptr);
    EXPECT_EQ(Grid(FirstTable(doc)), "| 0:y");
}

TEST(TableGrid, CellsPastColumn200AreDropped) {
    for (const int cells : {199, 200, 201, 205}) {
        std::string html = "<TABLE><TR>";
        for (int i = 0; i < cells; ++i)
            html += "<TD>c" + std::to_string(i);
        Doc doc(html + "</TABLE>after", 800);
        const THtmlTable& table = FirstTable(doc);
        const int kept = std::min(cells, 200);
        EXPECT_EQ(table.NumCols, kept) << cells;
        EXPECT_EQ(table.Rows[0]->Cells.size(), static_cast<size_t>(kept)) << cells;
        EXPECT_EQ(table.Widths.size(), static_cast<size_t>(kept)) << cells;
        EXPECT_NE(doc.Paint(0, 2000, 800).find("after"), std::string::npos) << cells;
    }
}

TEST(TableAttributes, SpacingPaddingAndAlignment) {
    const struct {
        const char* table;
        int spacing, padding;
        bool border;
    } rows[] = {
        {"<TABLE>", 2, 1, false},
        {"<TABLE CELLSPACING=100 CELLPADDING=-1>", 40, 1, false},
        {"<TABLE CELLSPACING=100 BORDER>", 42, 1, true},
        {"<TABLE CELLSPACING=0 BORDER=1 CELLPADDING=80>", 2, 50, true},
        {"<TABLE BORDER=0 CELLSPACING=-3>", 2, 1, false},
    };
    for (const auto& row : rows) {
        Doc doc(std::string(row.table) + "<TD>a</TABLE>");
        const THtmlTable& table = FirstTable(doc);
        EXPECT_EQ(table.CellSpacing, row.spacing) << row.table;
        EXPECT_EQ(table.CellPadding, row.padding) << row.table;
        EXPECT_EQ(table.HasBorder, row.border) << row.table;
    }
}

// A cell's picture: its own BACKGROUND unless its style says otherwise,
// else the row's; most cells have none at all.
TEST(TableAttributes, CellPictures) {
    Doc doc("<TABLE><TR><TD BACKGROUND=' a.gif'>1<TD>2"
            "<TD BACKGROUND=a.gif STYLE='background-image: none'>3"
            "<TD STYLE='background-image: url(s.gif)'>4"
            "<TR BACKGROUND=r.gif><TD>5<TD BACKGROUND=c.gif>6"
            "<TD BACKGROUND=c.gif STYLE='background-image: none'>7</TABLE>");
    std::vector<std::string> pictures;
    for (const auto& row : FirstTable(doc).Rows)
        for (const auto& cell : row->Cells)
            pictures.push_back(
                cell->CellImage && !cell->CellImage->Empty() ? cell->CellImage->Source : "-");
    EXPECT_EQ(pictures,
              (std::vector<std::string>{"a.gif", "-", "-", "s.gif", "r.gif", "c.gif", "r.gif"}));
}

TEST(TableAttributes, VerticalAlignment) {
    Doc doc("<TABLE><TR VALIGN=bottom><TD VALIGN=center>a<TD VALIGN=baseline>b<TD>c"
            "<TD VALIGN=MIDDLE>d<TR><TD>e</TABLE>");
    const THtmlTable& table = FirstTable(doc);
    const auto& first = table.Rows[0]->Cells;
    EXPECT_EQ(first[0]->VAlign, TCellVAlign::Bottom);
    EXPECT_EQ(first[1]->VAlign, TCellVAlign::Top);
    EXPECT_EQ(first[2]->VAlign, TCellVAlign::Bottom);
    EXPECT_EQ(first[3]->VAlign, TCellVAlign::Middle);
    EXPECT_EQ(table.Rows[1]->Cells[0]->VAlign, TCellVAlign::Middle);
}

TEST(TableAttributes, HeaderCellsAreCentredAndBold) {
    Doc doc("<TABLE WIDTH=400><TR><TH>head<TD>data</TABLE>");
    TSection* head = SectionWith(doc.list, "head");
    TSection* data = SectionWith(doc.list, "data");
    ASSERT_TRUE(head && data);
    EXPECT_EQ(head->Alignment, TextAlign::Center);
    EXPECT_EQ(data->Alignment, TextAlign::Left);
    EXPECT_TRUE(RunOf(doc.list, "head")->PlainFont().Bold);
}

TEST(TableLayout, WidthsAndPlacement) {
    // Body room 580. WIDTH=50% asks 290; minus 2 spacing leaves 288 for one
    // column.
    EXPECT_EQ(FirstTable(Doc("<TABLE WIDTH=50%><TD>a</TABLE>")).Widths, std::vector<int>{288});
    // A minimum wider than the percentage wins: a 50-character word is 400
    // pixels, plus 2 padding and 2 spacing.
    const std::string word(50, 'w');
    EXPECT_EQ(FirstTable(Doc("<TABLE WIDTH=10%><TD>" + word + "</TABLE>")).TableWidth, 406);
    // Centred: (580 - 100) / 2 = 240 right of the body's left edge.
    Doc centred("<CENTER><TABLE WIDTH=100><TD>a</TABLE></CENTER>");
    EXPECT_EQ(FirstTable(centred).LeftX, 10 + 240);
    // Floating right with its 3-pixel HSPACE: 580 + 10 - 3 - 100.
    Doc right("<TABLE ALIGN=right WIDTH=100><TD>a</TABLE>text beside");
    EXPECT_EQ(FirstTable(right).LeftX, 10 + 580 - 3 - 100);
    EXPECT_EQ(SectionWith(right.list, "beside")->TopY, 5);
}

TEST(TableLayout, HeightsSpansAndVerticalAlignment) {
    // One-line cells are 16 + 2 padding + 2 spacing = 20 rows high. A row
    // span of two lines (2 * 16 + 4 = 36) over rows of 20 + 20 fits.
    Doc doc("<TABLE HEIGHT=100><TR><TD ROWSPAN=2 VALIGN=bottom>a<BR>b<TD>c"
            "<TR><TD VALIGN=top>d</TABLE>");
    const THtmlTable& table = FirstTable(doc);
    // HEIGHT=100 less 2 spacing: 98 over rows of 20 + 20, so each gets
    // 58 / 2 = 29 more.
    EXPECT_EQ(table.Rows[0]->RowHeight, 49);
    EXPECT_EQ(table.Rows[1]->RowHeight, 49);
    EXPECT_EQ(table.FlowHeight, 100);
    const TTableCell& spanned = *table.Rows[0]->Cells[0];
    EXPECT_EQ(spanned.Ht, 98);
    // Bottom: 98 - 32 - 2 - 2 = 62 below the top.
    EXPECT_EQ(spanned.YIndent, 62);
    EXPECT_EQ(SectionWith(doc.list, "a")->TopY, table.TopY + 2 + 1 + 62);
    EXPECT_EQ(SectionWith(doc.list, "d")->TopY, table.TopY + 49 + 2 + 1);
    // A HEIGHT on a table without rows shares nothing.
    EXPECT_EQ(FirstTable(Doc("<TABLE HEIGHT=300></TABLE>")).Rows.size(), 0u);
}

// Laid out once and moved into place, a nested table must end up where a
// fresh layout at that place puts it.
TEST(TableLayout, MovedContentMatchesALayoutInPlace) {
    const std::string inner = "<TABLE BORDER=1><TR><TD>x<UL><LI>item</UL><TD>y</TABLE>";
    Doc moved("<TABLE><TR><TD HEIGHT=200 VALIGN=bottom>" + inner + "</TABLE>");
    Doc direct("<DIV STYLE=\"height: 1px\"></DIV>" + inner);
    TSection* a = SectionWith(moved.list, "item");
    TSection* b = SectionWith(direct.list, "item");
    ASSERT_TRUE(a && b);
    const THtmlTable& outer = FirstTable(moved);
    const THtmlTable& nested = *Tables(moved).at(1);
    // The nested table sits at the bottom of its cell.
    EXPECT_EQ(nested.BottomY, outer.TopY + outer.FlowHeight - 2 - 1);
    const int dy = nested.TopY - FirstTable(direct).TopY;
    EXPECT_EQ(a->TopY - b->TopY, dy);
    EXPECT_EQ(a->LineList[0].LineY - b->LineList[0].LineY, dy);
}

TEST(TableHitTests, LinksFindAndSelectionPassThroughCells) {
    Doc doc("<TABLE><TR><TD>one <A HREF=\"a.htm\">link</A><TD>two<TR><TD>three<TD>four"
            "</TABLE>five");
    TSection* link = SectionWith(doc.list, "link");
    ASSERT_TRUE(link);
    const TUrlTarget* target = nullptr;
    TFormControl* control = nullptr;
    const int x = link->LineX(link->LineList[0]) + 4 * 8 + 4, y = link->LineList[0].LineY + 4;
    ASSERT_TRUE(doc.list.LinkAtPoint(doc.canvas, x, y, target, control));
    EXPECT_EQ(target->Url, "a.htm");
    // Find goes through the cells in document order.
    const int two = doc.list.FindText(0, "two", false);
    const int four = doc.list.FindText(0, "four", false);
    EXPECT_GE(two, 0);
    EXPECT_GT(four, two);
    EXPECT_GT(doc.list.FindText(0, "five", false), four);
    doc.list.SelStart = 0;
    doc.list.SelEnd = 10000;
    const std::string text = doc.list.GetSelectedText();
    EXPECT_LT(text.find("one"), text.find("two")) << text;
    EXPECT_LT(text.find("two"), text.find("three")) << text;
    EXPECT_LT(text.find("four"), text.find("five")) << text;
}

// Without spacing or padding a cell's content fills its rows: the first and
// the last row of pixels of each table row answer every hit test.
TEST(TableHitTests, TheEdgeRowsOfACellAnswer) {
    Doc doc("<TABLE CELLSPACING=0 CELLPADDING=0>"
            "<TR><TD><A HREF=\"one.htm\">one</A><IMG ALIGN=TOP WIDTH=20 HEIGHT=30>"
            "<TR><TD><A HREF=\"two.htm\">two</A><IMG ALIGN=TOP WIDTH=20 HEIGHT=30></TABLE>");
    const THtmlTable& table = FirstTable(doc);
    ASSERT_EQ(table.Rows.size(), 2u);
    const std::string hrefs[] = {"one.htm", "two.htm"};
    for (size_t row = 0; row < 2; ++row) {
        const std::string& href = hrefs[row];
        const TTableCell& cell = *table.Rows.at(row)->Cells.at(0);
        for (const int y : {cell.CellY, cell.CellY + cell.Ht - 1}) {
            SCOPED_TRACE(href + " at y " + std::to_string(y));
            const TUrlTarget* target = nullptr;
            TFormControl* control = nullptr;
            ASSERT_TRUE(doc.list.LinkAtPoint(doc.canvas, cell.CellX + 4, y, target, control));
            EXPECT_EQ(target->Url, href);
            TInlineImage* image = nullptr;
            int ix = 0, iy = 0;
            EXPECT_TRUE(doc.list.ObjectAt(cell.CellX + 3 * 8 + 5, y, image, ix, iy));
            int xr = 0, yr = 0, height = 0;
            bool inText = false;
            const int pos =
                doc.list.CursorAt(doc.canvas, cell.CellX + 4, y, xr, yr, height, inText);
            EXPECT_GE(pos, cell.Cell.FirstPos);
            EXPECT_LT(pos, cell.Cell.FirstPos + cell.Cell.PosCount);
        }
    }
}

TEST(TablePaint, BackgroundsBordersAndClipping) {
    Doc doc("<TABLE BORDER=1 BGCOLOR=#00FF00 BORDERCOLOR=red><TR BGCOLOR=blue><TD>a"
            "<TD BGCOLOR=#FFFFFF HEIGHT=100000>b</TABLE>");
    const std::string log = doc.Paint(0, 600);
    // The tall cell is filled only as far as the window reaches.
    EXPECT_EQ(log.find("FILL") == std::string::npos, false) << log;
    for (size_t at = log.find("FILL"); at != std::string::npos; at = log.find("FILL", at + 1)) {
        int l = 0, t = 0, r = 0, b = 0;
        ASSERT_EQ(std::sscanf(log.c_str() + at, "FILL %d %d %d %d", &l, &t, &r, &b), 4);
        EXPECT_GE(t, 0) << log.substr(at, 40);
        EXPECT_LE(b, 600) << log.substr(at, 40);
    }
    // Scrolled far down, the tall cell still paints its part.
    EXPECT_NE(doc.Paint(50000, 50600).find("FILL"), std::string::npos);
}

// Prints the copy of doc from top with a page of height rows.
std::string PrintPage(Doc& doc, TSectionList& copy, int top, int height) {
    copy.CopyForPrinting(doc.list);
    LayOutAgain(copy, doc.canvas, TLayoutSettings());
    RecordingCanvas printer;
    copy.SetScrollY(top);
    copy.PaintCell(printer, {0, 0, 600, height}, 600, 0, 0);
    return printer.Log;
}

TEST(TablePrinting, CopiesAndPageEnds) {
    std::string rows;
    for (int i = 0; i < 30; ++i)
        rows += "<TR><TD>r" + std::to_string(i) + "<TD>cell";
    Doc doc("<DIV STYLE=\"height: 230px\"></DIV><TABLE BORDER><CAPTION>c</CAPTION>" + rows +
            "</TABLE>");
    {
        // The print copy lays out as the document does.
        TSectionList copy(doc.canvas);
        copy.CopyForPrinting(doc.list);
        TLayoutResult result = LayOutAgain(copy, doc.canvas, TLayoutSettings());
        result.Title = doc.result.Title;
        EXPECT_EQ(DumpDocument(copy, result), doc.Dump());
    }
    // A page of 300 rows: the table starts in its lowest third but is taller
    // than a page, so it starts here, and the page ends above the first row
    // that would be cut.
    TSectionList copy(doc.canvas);
    const std::string log = PrintPage(doc, copy, 0, 300);
    EXPECT_NE(log.find("\"r0\""), std::string::npos) << log;
    const int pageEnd = copy.PageEndY;
    EXPECT_LT(pageEnd, 300);
    for (size_t at = log.find("TEXT"); at != std::string::npos; at = log.find("TEXT", at + 1)) {
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(log.c_str() + at, "TEXT %d %d", &x, &y), 2);
        EXPECT_LT(y, pageEnd) << log.substr(at, 30);
    }
    // The next page starts with the row that was cut.
    TSectionList next(doc.canvas);
    const std::string second = PrintPage(doc, next, pageEnd, 300);
    const int firstOnNext = static_cast<int>(second.find("\"r"));
    ASSERT_GE(firstOnNext, 0);
    EXPECT_EQ(log.find(second.substr(firstOnNext, 5)), std::string::npos);

    // A short table that would be cut moves to the next page whole.
    Doc shortTable("<DIV STYLE=\"height: 250px\"></DIV><TABLE><TR><TD>a<TR><TD>b</TABLE>");
    TSectionList shortCopy(shortTable.canvas);
    EXPECT_EQ(PrintPage(shortTable, shortCopy, 0, 270).find("\"a\""), std::string::npos);
    EXPECT_EQ(shortCopy.PageEndY, 5 + 250);
}

TEST(TableLimits, HugeInputsStayBounded) {
    std::string nested;
    for (int i = 0; i < 10000; ++i)
        nested += "<TABLE><TR><TD>";
    Doc deep(nested + "core");
    EXPECT_LE(Tables(deep).size(), 48u);
    EXPECT_NE(SectionWith(deep.list, "core"), nullptr);
    deep.Paint(0, 2000);

    std::string tallRows = "<TABLE>";
    for (int i = 0; i < 3000; ++i)
        tallRows += "<TR><TD HEIGHT=1000000>t";
    Doc heights(tallRows + "</TABLE>after");
    EXPECT_LE(FirstTable(heights).FlowHeight, MaxTableHeight + 10);
    EXPECT_NE(
        heights.Paint(FirstTable(heights).BottomY, FirstTable(heights).BottomY + 100).find("after"),
        std::string::npos);

    std::string rows = "<TABLE BORDER>";
    for (int i = 0; i < 100000; ++i)
        rows += "<TR><TD>r" + std::to_string(i) + "<TD ROWSPAN=900>x";
    Doc tall(rows + "</TABLE>");
    const THtmlTable& table = FirstTable(tall);
    EXPECT_EQ(table.Rows.size(), 100000u);
    EXPECT_GT(tall.Paint(table.BottomY - 600, table.BottomY).find("r99999"), 0u);
}

} // namespace
} // namespace lumo::test
