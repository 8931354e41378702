#include "parser/page_parser.h"
#include "parser/parvex.h"
#include "parser/px_string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string WriteTemporaryPage(const std::string& bytes) {
    char path[] = "/tmp/page_parser_testXXXXXX";
    const int descriptor = mkstemp(path);
    close(descriptor);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

int32_t Parse(ParseState& state, const std::string& fileBytes) {
    return ParseFileBytes(state, fileBytes);
}

TEST(LoadAndParse, UnusablePagesGiveNoTablesAndNoLink) {
    ParseState state;
    for (const std::string& bytes :
         {std::string(), std::string("\x1A<TABLE>x</TABLE>"), std::string(100000, '<'),
          std::string("<TABLE><TR><TD>never ends"), std::string("</TABLE>")}) {
        EXPECT_EQ(Parse(state, bytes), 0);
        EXPECT_EQ(GetTableInfo(state, 0, 1), -1);
        EXPECT_TRUE(state.threadLink.empty());
    }
    EXPECT_EQ(LoadAndParse(state, "/nonexistent/page.html"), 0);
}

TEST(LoadAndParse, CrLfPagesLoseTheirLineBreaksAndLfPagesKeepThem) {
    ParseState state;
    ASSERT_EQ(Parse(state, "<table><tr><td>end\r\nstart\nnext</td></tr></table>"), 1);
    EXPECT_EQ(ReadCell(state, 1, 1, 1), "endstart\nnext\r\n");
}

TEST(LoadAndParse, HighBytesPassThroughUnchanged) {
    std::string text;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        text += static_cast<char>(byte);
    }
    ParseState state;
    ASSERT_EQ(Parse(state, "<TABLE><TR><TD>" + text + "</TD></TR></TABLE>"), 1);
    EXPECT_EQ(ReadCell(state, 1, 1, 1), text + "\r\n");
}

TEST(LoadAndParse, ASecondParseReplacesEverythingOfTheFirst) {
    ParseState state;
    ASSERT_EQ(Parse(state,
                    "<TABLE><TR><TD><A HREF=\"?&thread=http://h/1.html&\">t</A></TD></TR></TABLE>"
                    "<TABLE>two</TABLE>"),
              2);
    EXPECT_EQ(state.threadLink, "HTTP://H/1.HTML");
    ASSERT_EQ(Parse(state, "<TABLE><TR><TD>only</TD></TR></TABLE>"), 1);
    EXPECT_EQ(state.threadLink, "");
    EXPECT_EQ(ReadCell(state, 2, 1, 1), "only\r\n");
    EXPECT_EQ(Parse(state, ""), 0);
    EXPECT_EQ(ReadCell(state, 1, 1, 1), "");
}

TEST(LoadAndParse, DeeplyNestedAndUnbalancedTables) {
    std::string page;
    for (int depth = 0; depth < 5000; ++depth) {
        page += "<TABLE><TR><TD>";
    }
    page += "core";
    for (int depth = 0; depth < 5000; ++depth) {
        page += "</TD></TR></TABLE>";
    }
    ParseState state;
    ASSERT_EQ(Parse(state, page), 1);
    EXPECT_EQ(ReadCell(state, 1, 1, 1), "core\r\n");
}

TEST(LoadAndParse, PagesWhoseTablesWouldNotFitInMemoryAreRefused) {
    // Every unmatched end followed by a table start makes a table of the
    // rest of the page; 40,000 of them would need gigabytes.
    std::string page;
    for (int i = 0; i < 40000; ++i) {
        page += "<TABLE></TABLE></TABLE> ";
    }
    ParseState state;
    EXPECT_EQ(Parse(state, page), 0);
    EXPECT_EQ(GetTableInfo(state, 0, 1), -1);
}

TEST(LoadAndParse, AFiftyMegabytePage) {
    std::string row =
        "<TR><TD>author<BR>since 2004</TD><TD>Posted: May 05, 2005 <A HREF=\"http://x/p\">#</A>"
        "<BR>text &nbsp;with <B>bold</B> and <FONT COLOR=red>colour</FONT></TD></TR>\r\n";
    std::string page = "<TABLE>";
    while (page.size() < (50u << 20)) {
        page += row;
    }
    page += "</TABLE>";
    const std::string path = WriteTemporaryPage(page);
    ParseState state;
    ASSERT_EQ(LoadAndParse(state, path.c_str()), 1);
    const int32_t rows = GetTableInfo(state, 1, 1);
    EXPECT_GT(rows, 200000);
    EXPECT_EQ(ReadCell(state, 1, rows, 1), "author\r\nsince 2004\r\n");
    std::remove(path.c_str());
}

TEST(ParserCalls, StringsAreOwnedByTheCallerAndEmptyIsNull) {
    const std::string path = WriteTemporaryPage(
        "<TABLE><TR><TD><A HREF=\"?&thread=http://h/7.html&\">x</A></TD><TD>y</TD></TR></TABLE>");
    ASSERT_EQ(pxLoadAndParse(path.c_str()), 1);
    {
        const PxText link(GetLink());
        EXPECT_EQ(link.bytes(), "HTTP://H/7.HTML");
        const PxText cell(pxReadCell(1, 1, 2));
        EXPECT_EQ(cell.bytes(), "y\r\n");
    }
    EXPECT_EQ(pxGetTableInfo(0, 0), 1);
    EXPECT_EQ(pxLoadAndParse((path + ".missing").c_str()), 0);
    EXPECT_EQ(GetLink(), nullptr);
    EXPECT_EQ(pxReadCell(1, 1, 1), nullptr);
    EXPECT_EQ(pxGetTableInfo(0, 1), -1);
    EXPECT_EQ(pxLoadAndParse(nullptr), 0);
    std::remove(path.c_str());
}

} // namespace
