// Pages and table texts whose results are worked out by hand from the
// parsing rules, checked against the literal implementation that the
// differential tests and the fuzzer trust, and against the library itself.
// A mistake in the literal implementation would otherwise go unnoticed
// wherever the library makes the same one.
#include "parser/convert_markup.h"
#include "parser/link_text.h"
#include "parser/markup_rules.h"
#include "parser/page_parser.h"
#include "parser/page_text.h"
#include "parser/tests/reference_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct LiteralRules {
    static std::string PageText(const std::string& bytes) {
        return reference::PageTextFromFileBytes(bytes);
    }
    static std::string Convert(const std::string& table, std::string& link) {
        return reference::ConvertMarkup(table, link);
    }
    static std::string Anchor(const std::string& span, std::string& link) {
        return reference::LinkText(span, link);
    }

    int32_t Parse(const std::string& bytes) { return reference::LoadAndParse(state, bytes); }
    std::string Cell(int32_t table, int32_t row, int32_t column) const {
        return reference::ReadCell(state, table, row, column);
    }
    int32_t Info(int32_t what, int32_t table) const {
        return reference::GetTableInfo(state, what, table);
    }
    const std::string& Link() const { return state.threadLink; }
    const TableInfo& Record(int32_t table) const { return state.tables.at(table - 1).info; }
    std::string Text(int32_t table) const { return state.tables.at(table - 1).text; }

    reference::State state;
};

struct Library {
    static std::string PageText(const std::string& bytes) { return PreparedPageText(bytes); }
    static std::string Convert(const std::string& table, std::string& link) {
        return ConvertMarkup(table, link);
    }
    static std::string Anchor(const std::string& span, std::string& link) {
        return LinkText(span, link);
    }

    int32_t Parse(const std::string& bytes) { return ParseFileBytes(state, bytes); }
    std::string Cell(int32_t table, int32_t row, int32_t column) const {
        return ReadCell(state, table, row, column);
    }
    int32_t Info(int32_t what, int32_t table) const { return GetTableInfo(state, what, table); }
    const std::string& Link() const { return state.threadLink; }
    const TableInfo& Record(int32_t table) const { return state.tables.at(table - 1).info; }
    std::string Text(int32_t table) const { return std::string(TableTextOf(state, table)); }

    ParseState state;
};

// The library with every table converted rule by rule.
struct LibraryRuleByRule : Library {
    static std::string Convert(const std::string& table, std::string& link) {
        return ConvertMarkupByRules(table, link);
    }
};

template <typename Parser> class WorkedExamples : public testing::Test {};
using Parsers = testing::Types<LiteralRules, Library, LibraryRuleByRule>;
TYPED_TEST_SUITE(WorkedExamples, Parsers);

TYPED_TEST(WorkedExamples, FileLinesJoinWithNothingBetween) {
    const struct {
        std::string file;
        std::string text;
    } cases[] = {
        {"one\r\ntwo", "onetwo"},
        {"one\ntwo\n", "one\ntwo\n"},
        {"a\r\rb", "ab"},
        {"a\r\n\nb", "a\nb"},
        {"a\n\r\nb", "a\nb"},
        {"\r\n\r\n", ""},
        {"ab\x1A\r\ncd", "ab"},
        {"ab\r\x1A\ncd", "ab"},
        {"\x1A", ""},
        {"a\0\r\0"s, "a\0\0"s},
        {"x\r", "x"},
    };
    for (const auto& [file, text] : cases) {
        EXPECT_EQ(TypeParam::PageText(file), text) << file;
    }
}

TYPED_TEST(WorkedExamples, TagsAreUpperCasedBetweenTheTwoRecordGuards) {
    TypeParam parser;
    ASSERT_EQ(parser.Parse("<table class=x><tr><td>'MESSAGE Text<br>\x81\x94"
                           "<u x=\x81\x82\x84\x86\x87\x94\xA4\xE1\xA0 y='MESSAGE>u</u>"
                           "</td></tr></table>"),
              1);
    EXPECT_EQ(parser.Text(1), "\r\n<TR>\r\n\r\n<TD>\r\n'Message Text\r\n\x81\x94"
                              "<U X=\x9A\x90\x8E\x8F\x80\x99\xA5\xE1\xA0 Y='Message>u</U>"
                              "\r\n</TD>\r\n\r\n</TR>\r\n");
    EXPECT_EQ(parser.Cell(1, 1, 1),
              "'Message Text\r\n\x81\x94"
              "<U X=\x9A\x90\x8E\x8F\x80\x99\xA5\xE1\xA0 Y='Message>u</U>\r\n");
}

TYPED_TEST(WorkedExamples, NestedTablesAndARememberedEnd) {
    // start one, start two, x, end, end, y, start three, z, end, w
    TypeParam parser;
    ASSERT_EQ(parser.Parse("<TABLE1><TABLE2>x</TABLE></TABLE>y<TABLE3>z</TABLE>w"), 3);
    const struct {
        int32_t start;
        int32_t end;
        int32_t length;
        std::string text;
    } expected[] = {
        {9, 18, 17, "<TABLE2>x"}, {35, 26, -1, "<TABLE3>zw"}, {35, 44, 17, "<TABLE3>z"}};
    for (int32_t table = 1; table <= 3; ++table) {
        const TableInfo& record = parser.Record(table);
        EXPECT_EQ(record.StartPos, expected[table - 1].start) << table;
        EXPECT_EQ(record.EndPos, expected[table - 1].end) << table;
        EXPECT_EQ(record.Length, expected[table - 1].length) << table;
        EXPECT_EQ(parser.Text(table), expected[table - 1].text) << table;
        EXPECT_EQ(record.Rows, 0) << table;
        EXPECT_EQ(record.Cols, 0) << table;
        EXPECT_EQ(record.Lines, 0) << table;
    }
}

TYPED_TEST(WorkedExamples, AnEndRightBeforeAStartGivesAnEmptyTable) {
    TypeParam parser;
    ASSERT_EQ(parser.Parse("</TABLE><TABLE><TR><TD>a</TD></TR></TABLE>"), 2);
    EXPECT_EQ(parser.Record(1).StartPos, 9);
    EXPECT_EQ(parser.Record(1).EndPos, 1);
    EXPECT_EQ(parser.Record(1).Length, 0);
    EXPECT_EQ(parser.Text(1), "");
    EXPECT_EQ(parser.Info(1, 1), 0);
    EXPECT_EQ(parser.Info(2, 1), 0);
    EXPECT_EQ(parser.Info(3, 1), 0);
    EXPECT_EQ(parser.Cell(1, 1, 1), "");
    EXPECT_EQ(parser.Cell(2, 1, 1), "a\r\n");
}

TYPED_TEST(WorkedExamples, ColumnsRoundHalvesToEven) {
    TypeParam parser;
    // 1, 3, 5, 7 and 9 cells in 2 rows, 2 cells in 3 rows.
    ASSERT_EQ(parser.Parse("<TABLE><TR><TD><TR></TABLE>"
                           "<TABLE><TR><TD><TD><TD><TR></TABLE>"
                           "<TABLE><TR><TD><TD><TD><TR><TD><TD></TABLE>"
                           "<TABLE><TR><TD><TD><TD><TD><TR><TD><TD><TD></TABLE>"
                           "<TABLE><TR><TD><TD><TD><TD><TD><TR><TD><TD><TD><TD></TABLE>"
                           "<TABLE><TR><TD><TR><TD><TR></TABLE>"),
              6);
    const int32_t rows[] = {2, 2, 2, 2, 2, 3};
    const int32_t columns[] = {0, 2, 2, 4, 4, 1};
    for (int32_t table = 1; table <= 6; ++table) {
        EXPECT_EQ(parser.Info(1, table), rows[table - 1]) << table;
        EXPECT_EQ(parser.Info(2, table), columns[table - 1]) << table;
    }
    // "<TABLE>", "<TR>", "", "<TD>", "", "<TR>"
    EXPECT_EQ(parser.Text(1), "<TABLE>\r\n<TR>\r\n\r\n<TD>\r\n\r\n<TR>\r\n");
    EXPECT_EQ(parser.Info(3, 1), 6);
}

TYPED_TEST(WorkedExamples, CellsAreFoundByWalkingTheLines) {
    TypeParam parser;
    ASSERT_EQ(parser.Parse("<TABLE><TR><TD>a1</TD><TD>b1</TD></TR>"
                           "<TR><TD>a2</TD></TR>"
                           "<TR><TD>a3</TD><TD>b3</TD></TR></TABLE>"
                           "<table border=1><tr><td><td>x</td></tr></table>"),
              2);
    EXPECT_EQ(parser.Info(1, 1), 3);
    EXPECT_EQ(parser.Info(2, 1), 2); // 5 cells in 3 rows
    EXPECT_EQ(parser.Cell(1, 0, -5), "a1\r\n");
    EXPECT_EQ(parser.Cell(1, 1, 2), "b1\r\n");
    // Row 2 has one cell: its second is the first cell of row 3.
    EXPECT_EQ(parser.Cell(1, 2, 2), "a3\r\n");
    EXPECT_EQ(parser.Cell(1, 1000, 1000), "b3\r\n");
    EXPECT_EQ(parser.Cell(0, 3, 1), "a3\r\n");
    // "", "<TR>", "", "<TD>", "", "<TD>", "x", "</TD>", "", "</TR>": the empty
    // line between the two cell starts belongs to the first cell.
    EXPECT_EQ(parser.Info(2, 2), 2);
    EXPECT_EQ(parser.Cell(2, 1, 1), "\r\nx\r\n");
    EXPECT_EQ(parser.Cell(2, 1, 2), "x\r\n");
    EXPECT_EQ(parser.Cell(9, 1, 2), "x\r\n");
    EXPECT_EQ(parser.Info(0, 99), 2);
    EXPECT_EQ(parser.Info(1, 99), 1);
    EXPECT_EQ(parser.Info(4, 1), 0);
}

TYPED_TEST(WorkedExamples, RowAndColumnZeroStartAfterALine) {
    TypeParam parser;
    ASSERT_EQ(parser.Parse("<TABLE>first<BR>second<BR>third<BR>lost</TABLE>"
                           "<TABLE><TR>a</TR><TR>b</TR><TR>c<TD>d</TD></TABLE>"),
              2);
    // Row 0 is reached after "<TABLE>first", column 0 after "second".
    EXPECT_EQ(parser.Info(3, 1), 3);
    EXPECT_EQ(parser.Cell(1, 1, 1), "third\r\n");
    // One cell in three rows gives column 0: the cell starts after the
    // row's first line ("a") and runs to the "</TD>" line.
    EXPECT_EQ(parser.Info(2, 2), 0);
    EXPECT_EQ(parser.Cell(2, 1, 1), "</TR>\r\n\r\nb\r\n</TR>\r\n\r\nc\r\nd\r\n");
}

TYPED_TEST(WorkedExamples, RulesApplyInTheirOrder) {
    const struct {
        std::string table;
        std::string text;
    } cases[] = {
        {"<TD>one<BR>two</TD>", "\r\n<TD>\r\none\r\ntwo\r\n</TD>\r\n"},
        {"<TR CLASS=A><TD WIDTH=3>", "\r\n<TR>\r\n\r\n<TD>\r\n"},
        {"<TABLE></TABLE>", "<TABLE>"},
        {"<I>i</I><P>p</P>", "i</I>\r\np</P>"},
        {"<IMG SRC=\"A\">x<IMG ALT=B SRC=C>", "x<IMG ALT=B SRC=C>"},
        // Emphasis goes before references are decoded, table ends after.
        {"&nb<B>sp;&l</FONT>t;", " <"},
        {"&nb</TABLE>sp;", "&nbsp;"},
        // Decoded tags meet only the rules that come after decoding.
        {"&lt;B&gt;&lt;BR&gt;&lt;CENTER&gt;&lt;/FONT&gt;", "<B><BR><CENTER></FONT>"},
        {"&lt;HR&gt;&lt;/TABLE&gt;&lt;BLOCKQUOTE&gt;&lt;/BLOCKQUOTE&gt;x", "\r\nx"},
        {"&lt;td&gt;&lt;TD&gt;&amp;lt;", "<td>\r\n<TD>\r\n&amp;lt;"},
        {"<IMG&nbsp;SRC=X>y", "y"},
        // Images go before anchors look for their address.
        {"<A HREF=#><IMG SRC=\"HTTP://I/\">t</A>u", "u"},
        // Row and cell tags are cut to their first ">" before paragraphs
        // look for their end, and paragraphs go before fonts and forms.
        {"<P X>a<TR Y/P>b", "<P X>a\r\n<TR>\r\nb"},
        {"<P X><FONT Y/P>z", "z"},
        {"<FORM X><P Y></FORM>/P>z", "<FORM X>z"},
        {"<P X>a/P><FORM Y>b</FORM>c<TABLE Z>d", "cd"},
    };
    for (const auto& [table, text] : cases) {
        std::string link;
        EXPECT_EQ(TypeParam::Convert(table, link), text) << table;
        EXPECT_EQ(link, "") << table;
    }
}

TYPED_TEST(WorkedExamples, AnchorsBecomeTheirAddress) {
    const struct {
        std::string span;
        std::string text;
        std::string link;
    } cases[] = {
        {"<A HREF=\"HTTP://X/Y\">Link", "HTTP://X/Y\"", ""},
        {"<A HREF=HTTP://X/Y TARGET=_TOP>Link", "HTTP://X/Y ", ""},
        {"<A HREF=HTTP://X/Y>Link", "", ""},
        // The address runs on through the link text to its first space.
        {"<A HREF=HTTP://X/Y>Link text", "HTTP://X/Y>Link ", ""},
        {"<A HREF=\"/REL\">see http://Site/Page now", "http://Site/Page ", ""},
        {"<A HREF=\"/F?&THREAD=HTTP://W/S/12.HTML&N=1\">t", "HTTP://W/S/12.HTML&N=1\"",
         "HTTP://W/S/12.HTML"},
        // The page end must come after the thread marker.
        {"<A HREF=\"X.HTML&&THREAD=HTTP://W/1.HTM\">", "HTTP://W/1.HTM\"", ""},
        {"<A HREF=#>&Thread=Http://W/A.Html&", "", "Http://W/A.Html"},
    };
    for (const auto& [span, text, link] : cases) {
        std::string threadLink;
        EXPECT_EQ(TypeParam::Anchor(span, threadLink), text) << span;
        EXPECT_EQ(threadLink, link) << span;
    }
    std::string kept = "HTTP://FIRST.HTML";
    EXPECT_EQ(TypeParam::Anchor("<A HREF=\"?&THREAD=HTTP://W/2.HTML&\">", kept),
              "HTTP://W/2.HTML&\"");
    EXPECT_EQ(kept, "HTTP://FIRST.HTML");
}

TYPED_TEST(WorkedExamples, TheThreadLinkComesFromTheFirstRecordedTable) {
    TypeParam parser;
    ASSERT_EQ(parser.Parse("<a href=\"?&thread=http://w/none.html&\">outside</a>"
                           "<table><tr><td><a href=\"?&thread=http://w/outer.html&\">o</a>"
                           "<table><tr><td><a href=\"?&thread=http://w/inner.html&\">i</a>"
                           "</td></tr></table></td></tr></table>"
                           "<table><tr><td><a href=\"?&thread=http://w/last.html&\">l</a>"
                           "</td></tr></table>"),
              3);
    // The outer table is never recorded; its end, directly followed by the
    // last table's start, gives an empty table 2.
    EXPECT_EQ(parser.Link(), "HTTP://W/INNER.HTML");
    EXPECT_EQ(parser.Cell(1, 1, 1), "HTTP://W/INNER.HTML&\"\r\n");
    EXPECT_EQ(parser.Record(2).Length, 0);
    EXPECT_EQ(parser.Cell(2, 1, 1), "");
    EXPECT_EQ(parser.Cell(3, 1, 1), "HTTP://W/LAST.HTML&\"\r\n");
}

} // namespace
