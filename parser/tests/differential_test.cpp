// The parser against the literal implementation of its rules, on pages
// generated from the markup the rules care about.
#include "parser/convert_markup.h"
#include "parser/markup_rules.h"
#include "parser/page_parser.h"
#include "parser/page_text.h"
#include "parser/tests/reference_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Pieces that the conversion rules, the table scan and the link capture
// react to, and near misses of them.
const std::vector<std::string> kPieces = {"<table>",
                                          "<TABLE BORDER=0>",
                                          "</table>",
                                          "<tr>",
                                          "<TR CLASS=x>",
                                          "</tr>",
                                          "<td>",
                                          "<TD WIDTH=3>",
                                          "</td>",
                                          "<br>",
                                          "<p>",
                                          "<P CLASS=q>",
                                          "</p>",
                                          "/P>",
                                          "<b>",
                                          "</b>",
                                          "<i>",
                                          "</i>",
                                          "</font>",
                                          "<font color=red>",
                                          "<pre>",
                                          "</pre>",
                                          "<center>",
                                          "</center>",
                                          "<hr>",
                                          "<blockquote>",
                                          "</blockquote>",
                                          "&nbsp;",
                                          "&lt;",
                                          "&gt;",
                                          "&amp;",
                                          "&lt;TD&gt;",
                                          "&lt;td&gt;",
                                          "<img src=\"i.gif\">",
                                          "<img alt=x>",
                                          "<a href=\"http://h/x\">",
                                          "<a href=http://h/y target=t>",
                                          "<a href=\"?a=1&thread=http://w/s/1.html&b\">",
                                          "</a>",
                                          "<form action=f>",
                                          "</form>",
                                          "'MESSAGE",
                                          "\r\n",
                                          "\n",
                                          "\r",
                                          "\x1A",
                                          " ",
                                          "\"",
                                          "<",
                                          ">",
                                          "word",
                                          "Word",
                                          "\x81\x94\xA4",
                                          "http://",
                                          "<TD",
                                          "<TR",
                                          "<A HREF=",
                                          " X>"};

std::string RandomPage(std::mt19937& random, std::size_t pieces) {
    std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string page;
    for (std::size_t i = 0; i < pieces; ++i) {
        if (random() % 16 == 0) {
            page += static_cast<char>(byte(random));
        } else {
            page += kPieces[pick(random)];
        }
    }
    return page;
}

void ExpectSameParse(const std::string& fileBytes) {
    reference::State expected;
    const int32_t expectedTables = reference::LoadAndParse(expected, fileBytes);
    ParseState actual;
    const int32_t actualTables = ParseFileBytes(actual, fileBytes);
    ASSERT_EQ(actualTables, expectedTables) << fileBytes;
    ASSERT_EQ(actual.threadLink, expected.threadLink) << fileBytes;
    for (int32_t table = 0; table <= expectedTables + 1; ++table) {
        for (int32_t what = -1; what <= 4; ++what) {
            ASSERT_EQ(GetTableInfo(actual, what, table),
                      reference::GetTableInfo(expected, what, table))
                << "what " << what << " table " << table << "\n"
                << fileBytes;
        }
        const int32_t rows = reference::GetTableInfo(expected, 1, table);
        const int32_t columns = reference::GetTableInfo(expected, 2, table);
        for (int32_t row = -1; row <= rows + 1; ++row) {
            for (int32_t column = -1; column <= columns + 1; ++column) {
                ASSERT_EQ(ReadCell(actual, table, row, column),
                          reference::ReadCell(expected, table, row, column))
                    << "cell " << table << "," << row << "," << column << "\n"
                    << fileBytes;
            }
        }
    }
}

TEST(Differential, PreparedPageTextsMatch) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomPage(random, random() % 40);
        EXPECT_EQ(PreparedPageText(bytes), reference::PreparedPageText(bytes)) << bytes;
    }
}

TEST(Differential, ConversionMatchesTheLiteralRules) {
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        const std::string table = RandomPage(random, random() % 40);
        std::string expectedLink;
        std::string actualLink;
        const std::string expected = reference::ConvertMarkup(table, expectedLink);
        ASSERT_EQ(ConvertMarkup(table, actualLink), expected) << table;
        ASSERT_EQ(actualLink, expectedLink) << table;
    }
}

// Tables as pages hold them: every tag closed and upper case.
std::string WellFormedTable(std::mt19937& random, std::size_t pieces) {
    static const std::vector<std::string> tags = {"<TR>",
                                                  "<TR CLASS=X>",
                                                  "</TR>",
                                                  "<TD>",
                                                  "<TD WIDTH=3>",
                                                  "</TD>",
                                                  "<BR>",
                                                  "<P>",
                                                  "<P CLASS=Q>",
                                                  "</P>",
                                                  "<B>",
                                                  "</B>",
                                                  "<I>",
                                                  "</I>",
                                                  "</FONT>",
                                                  "<FONT COLOR=RED>",
                                                  "<PRE>",
                                                  "</PRE>",
                                                  "<CENTER>",
                                                  "</CENTER>",
                                                  "<HR>",
                                                  "<BLOCKQUOTE>",
                                                  "</BLOCKQUOTE>",
                                                  "<IMG SRC=\"I.GIF\">",
                                                  "<IMG ALT=X>",
                                                  "<A HREF=\"HTTP://H/X\">",
                                                  "<A HREF=HTTP://H/Y TARGET=T>",
                                                  "<A HREF=HTTP://H/Z>",
                                                  "<A HREF=\"?A=1&THREAD=HTTP://W/S/1.HTML&B\">",
                                                  "</A>",
                                                  "<FORM ACTION=F>",
                                                  "</FORM>",
                                                  "<TABLE BORDER=0>",
                                                  "</TABLE>",
                                                  "<SPAN X=/P>"};
    static const std::vector<std::string> texts = {
        "word", " ",  "&nbsp;", "&lt;", "&lt;b",          "&gt;", "&amp;",   "/P",
        "/",    "P>", ">",      "\"",   "http://site/x ", "\n",   "\x94\x81"};
    std::string table = "<TABLE>";
    for (std::size_t i = 0; i < pieces; ++i) {
        table += random() % 2 ? tags[random() % tags.size()] : texts[random() % texts.size()];
    }
    return table + "</TABLE>";
}

TEST(Differential, WellFormedTablesMatchTheLiteralRules) {
    std::mt19937 random(17);
    for (int round = 0; round < 3000; ++round) {
        const std::string table = WellFormedTable(random, random() % 30);
        std::string expectedLink;
        const std::string expected = reference::ConvertMarkup(table, expectedLink);
        std::string link;
        ASSERT_EQ(ConvertMarkup(table, link), expected) << table;
        ASSERT_EQ(link, expectedLink) << table;
        std::string byRulesLink;
        ASSERT_EQ(ConvertMarkupByRules(table, byRulesLink), expected) << table;
        ASSERT_EQ(byRulesLink, expectedLink) << table;
    }
}

// What one pass must give up on, or convert exactly as the literal rules
// do: a decoded "<" before each tag that a rule after the references reads
// (and before other bytes, and at the end of its text), references inside
// tags, tags left open, and an anchor whose address takes in a "<".
TEST(Differential, WhatOnePassGivesUpOnMatchesTheLiteralRules) {
    const char* const cells[] = {
        "&lt;HR>",
        "&lt;/TABLE>",
        "&lt;BLOCKQUOTE>x&lt;/BLOCKQUOTE>",
        "&lt;IMG SRC=x>",
        "<A HREF=#>&lt;A HREF=\"http://h/\">a</A>b&lt;/A>",
        "&lt;TR x>",
        "&lt;TD x>",
        "&lt;P x>y/P>",
        "&lt;FONT x>",
        "&lt;TABLE x>",
        "&lt;FORM x>y&lt;/FORM>",
        "&lt;TD>&lt;TR>&lt;/TD>&lt;/TR>",
        "&lt;BR>&lt;P>&lt;B>&lt;I>&lt;/FONT>&lt;PRE>&lt;CENTER>",
        "&lt;tr>&lt;Z>&lt;&lt;&lt; &lt;1&lt;&nbsp;",
        "a&lt;",
        "a&lt;<B>TD>",
        "a&lt;<IMG SRC=x>TD>",
        "<TD WIDTH=&lt;3>x",
        "<A HREF=\"http://h/&amp;&nbsp;\">x</A>",
        "<TD x<B>y",
        "x</TD",
        "<A HREF=#>see http://x/&lt;b c</A>",
        "<A HREF=#>see http://x/<TD>c d</A>",
        "<A HREF=\"http://h/<x\">y</A>",
    };
    for (const char* cell : cells) {
        const std::string table = std::string("<TR><TD>") + cell + "</TD></TR>";
        std::string expectedLink;
        const std::string expected = reference::ConvertMarkup(table, expectedLink);
        std::string link;
        EXPECT_EQ(ConvertMarkup(table, link), expected) << table;
        EXPECT_EQ(link, expectedLink) << table;
    }
}

TEST(Differential, WholePagesMatchTheLiteralRules) {
    std::mt19937 random(13);
    for (int round = 0; round < 1500; ++round) {
        ExpectSameParse(RandomPage(random, random() % 80));
    }
}

// Tables are converted in the page's own memory, over text already read:
// long tables that grow past the room there, or that one pass gives up on
// only near their end (so that the rules take over from far inside them),
// and tables whose text later tables read again. Too long to read every
// cell the literal way; the converted texts are compared whole.
TEST(Differential, LongTablesThatGrowOrAreGivenUpLateMatchTheLiteralRules) {
    std::string rows;      // grows by 16 bytes a row
    std::string quietRows; // shrinks
    for (int row = 0; row < 400; ++row) {
        rows += "<tr><td>" + std::to_string(row) + "</td></tr>";
        quietRows += "<tr valign=top><td class=cell>" + std::to_string(row) + "<br></td></tr>";
    }
    const std::string link = "<a href=\"?&thread=http://w/9.html&\">t</a>";
    const std::string pages[] = {
        "<table>" + rows + "</table>",
        "<table>" + link + quietRows + "<a href=x>" + quietRows + "</table>",
        "<table><tr><td>" + rows + "<p class=x>" + rows + "</table><table>" + link + "</table>",
        "<table>" + quietRows + "&lt;td&gt;" + quietRows + "&lt;TD&gt;x</table>",
        "<table>" + rows + "<td" + quietRows + "</table>",
        "<table><table>" + rows + "</table>" + rows + "</table><table>" + link + rows + "</table>",
    };
    for (const std::string& page : pages) {
        reference::State expected;
        const int32_t tables = reference::LoadAndParse(expected, page);
        ParseState actual;
        ASSERT_EQ(ParseFileBytes(actual, page), tables) << page;
        EXPECT_EQ(actual.threadLink, expected.threadLink) << page;
        for (int32_t table = 1; table <= tables; ++table) {
            ASSERT_EQ(TableTextOf(actual, table), expected.tables[table - 1].text) << page;
            for (int32_t what = 1; what <= 3; ++what) {
                EXPECT_EQ(GetTableInfo(actual, what, table),
                          reference::GetTableInfo(expected, what, table));
            }
            EXPECT_EQ(ReadCell(actual, table, 1000, 1000),
                      reference::ReadCell(expected, table, 1000, 1000));
        }
    }
}

// The one pass counts lines and markers as it writes them; an anchor whose
// address runs on over a line break brings a line end of its own.
TEST(Differential, AnAddressThatTakesInALineBreakMatchesTheLiteralRules) {
    for (const std::string page :
         {"<table><tr><td><a href=http://x>a<br>b c</a></td><td>d</td></tr></table>",
          "<table><tr><td><a href=http://x>a<br><br>b\" c</a>x<br>y</td></tr><tr><td>z</td></tr>"
          "</table>"}) {
        ExpectSameParse(page);
    }
}

TEST(Differential, ThreadLikePagesMatchTheLiteralRules) {
    const std::string page = "<html><body><table width=100%><tr><td><a "
                             "href=\"view.php?x=1&thread=http://www.example.com/support/"
                             "forums/3/77.html&y=2\">Thread</a></td></tr></table>\r\n"
                             "<table><tr><td>Nav</td></tr></table>\r\n"
                             "<table class=posts><tr><td>Topic</td><td>Topic: Printing from the "
                             "<b>report</b> view</td></tr>\r\n"
                             "<tr><td>alice<br>Member</td><td>Posted: December 05, 2005 10:41 AM "
                             "<a href=\"http://www.example.com/p/1\">"
                             "#1</a><br>First &nbsp;line<br>&lt;second&gt; line</td></tr>\r\n"
                             "<tr valign=top><td>bob</td><td>Posted: Dec 06, 2005 08:00 PM <a "
                             "href=http://www.example.com/p/2 "
                             "name=p2>#2</a><br><blockquote>quote</blockquote>reply<p "
                             "class=sig>signature</p></td></tr></table>\r\n"
                             "<table><tr><td>x</td></tr><tr><td>Forum</td><td><a "
                             "href=\"list.php?&number=3&x\">Section</a></td></tr>"
                             "</table></body></html>";
    ExpectSameParse(page);
}

} // namespace
