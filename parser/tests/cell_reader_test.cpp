#include "parser/page_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Parses a page text and reads cells of it.
class Page {
  public:
    explicit Page(const std::string& text) { tables_ = ParseFileBytes(state_, text); }
    int32_t tables() const { return tables_; }
    std::string cell(int32_t table, int32_t row, int32_t column) const {
        return ReadCell(state_, table, row, column);
    }
    int32_t info(int32_t what, int32_t table) const { return GetTableInfo(state_, what, table); }

  private:
    ParseState state_;
    int32_t tables_;
};

const char* const kGrid = "<table><tr><td>a1</td><td>b1<br>b1 second</td></tr>"
                          "<tr><td>a2</td><td>b2</td></tr>"
                          "<tr><td>a3</td></tr></table>";

TEST(ReadCell, FindsEachCellOfAGrid) {
    const Page page(kGrid);
    ASSERT_EQ(page.tables(), 1);
    EXPECT_EQ(page.info(1, 1), 3);
    EXPECT_EQ(page.info(2, 1), 2); // 5 cells in 3 rows: 1.67 rounds to 2
    EXPECT_EQ(page.cell(1, 1, 1), "a1\r\n");
    EXPECT_EQ(page.cell(1, 1, 2), "b1\r\nb1 second\r\n");
    EXPECT_EQ(page.cell(1, 2, 2), "b2\r\n");
    EXPECT_EQ(page.cell(1, 3, 1), "a3\r\n");
}

TEST(ReadCell, AShortRowReadsOnIntoTheNextRow) {
    const Page page("<TABLE><TR><TD>a1</TD></TR><TR><TD>a2</TD><TD>b2</TD></TR></TABLE>");
    EXPECT_EQ(page.cell(1, 1, 2), "a2\r\n");
}

TEST(ReadCell, ClampsTableRowAndColumn) {
    const Page page(std::string("<TABLE><TR><TD>x</TD></TR></TABLE>") + kGrid);
    ASSERT_EQ(page.tables(), 2);
    EXPECT_EQ(page.cell(2, 0, -5), "a1\r\n");
    EXPECT_EQ(page.cell(2, 1000, 1000), ""); // row 3 has no second cell, and no row follows
    EXPECT_EQ(page.cell(5, 2, 2), "b2\r\n");
    EXPECT_EQ(page.cell(0, 1, 1), "x\r\n");
    EXPECT_EQ(page.info(1, 99), 3);
    EXPECT_EQ(page.info(0, 99), 2);
    EXPECT_EQ(page.info(4, 1), 0);
    EXPECT_EQ(page.info(-1, 1), 0);
}

TEST(ReadCell, MarkerLinesInsideACellAreSkippedAndEndOfRowIsText) {
    const Page page("<TABLE><TR><TD>a&lt;TR&gt;b&lt;TD&gt;c</TR>d</TD></TR></TABLE>");
    EXPECT_EQ(page.cell(1, 1, 1), "a\r\nb\r\nc\r\n</TR>\r\nd\r\n");
}

TEST(ReadCell, TextAfterTheLastLineEndIsNeverRead) {
    // The closing cell tag has no line end behind it in the converted text
    // only when something breaks the marker; here the text just ends.
    const Page page("<TABLE><TR><TD>kept<BR>lost</TABLE>");
    EXPECT_EQ(page.cell(1, 1, 1), "kept\r\n");
}

TEST(ReadCell, ATableWithoutRowsReadsFromItsSecondLine) {
    const Page page("<TABLE>first<BR>second<BR>third<BR></TABLE>");
    EXPECT_EQ(page.info(1, 1), 0);
    EXPECT_EQ(page.info(2, 1), 0);
    EXPECT_EQ(page.info(3, 1), 3);
    // Row 0 is reached after the first line; column 0 after the next one.
    EXPECT_EQ(page.cell(1, 1, 1), "third\r\n");
}

TEST(ReadCell, ColumnZeroStartsAfterTheRowsFirstLine) {
    // Three rows and one cell: no column, so the read takes everything after
    // the row's first line, skipping marker lines.
    const Page page("<TABLE><TR>x</TR><TR>y</TR><TR>z<TD></TABLE>");
    EXPECT_EQ(page.info(2, 1), 0);
    EXPECT_EQ(page.cell(1, 1, 1), "</TR>\r\n\r\ny\r\n</TR>\r\n\r\nz\r\n");
}

TEST(ReadCell, ColumnZeroIsNeverReachedWhenTheRowStartsWithACell) {
    const Page page("<TABLE><TD>a</TD></TABLE>");
    EXPECT_EQ(page.info(1, 1), 0);
    EXPECT_EQ(page.cell(1, 1, 1), "");
}

TEST(ReadCell, NothingToReadWithoutAParse) {
    const ParseState state;
    EXPECT_EQ(ReadCell(state, 1, 1, 1), "");
    EXPECT_EQ(GetTableInfo(state, 0, 1), -1);
    EXPECT_EQ(GetTableInfo(state, 1, 1), 0);
    EXPECT_EQ(GetTableInfo(state, 3, 1), 0);
}

TEST(ReadCell, EveryCellOfALongThreadReadsBackWhole) {
    std::string page = "<TABLE>";
    for (int reply = 0; reply < 500; ++reply) {
        page += "<TR><TD>author " + std::to_string(reply) + "</TD><TD>text " +
                std::to_string(reply) + "</TD></TR>";
    }
    page += "</TABLE>";
    const Page parsed(page);
    ASSERT_EQ(parsed.info(1, 1), 500);
    for (int reply = 0; reply < 500; ++reply) {
        ASSERT_EQ(parsed.cell(1, reply + 1, 1), "author " + std::to_string(reply) + "\r\n");
        ASSERT_EQ(parsed.cell(1, reply + 1, 2), "text " + std::to_string(reply) + "\r\n");
    }
}

} // namespace
