#include "parser/split_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Expected {
    int32_t start;
    int32_t end;
    int32_t length;
    std::string text;
};

void ExpectTables(const std::string& page, const std::vector<Expected>& expected) {
    const std::vector<TableInfo> tables = SplitTables(page);
    ASSERT_EQ(tables.size(), expected.size()) << page;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tables[i].StartPos, expected[i].start) << "table " << i + 1;
        EXPECT_EQ(tables[i].EndPos, expected[i].end) << "table " << i + 1;
        EXPECT_EQ(tables[i].Length, expected[i].length) << "table " << i + 1;
        EXPECT_EQ(TableText(page, tables[i]), expected[i].text) << "table " << i + 1;
    }
}

TEST(SplitTables, PlainTablesInPageOrder) {
    ExpectTables("a<TABLE>x</TABLE>b<TABLE BORDER=1>y</TABLE>",
                 {{2, 10, 16, "<TABLE>x</TABLE>"}, {19, 36, 25, "<TABLE BORDER=1>y</TABLE>"}});
}

TEST(SplitTables, NestedTablesRecordTheInnerOneAndRemembersTheOuterEnd) {
    // start one, start two, x, end, end, y, start three, z, end, w
    const std::string page = "<TABLE1><TABLE2>x</TABLE></TABLE>y<TABLE3>z</TABLE>w";
    ExpectTables(page, {{9, 18, 17, "<TABLE2>x</TABLE>"},
                        {35, 26, -1, "<TABLE3>z</TABLE>w"},
                        {35, 44, 17, "<TABLE3>z</TABLE>"}});
}

TEST(SplitTables, AnEndDirectlyBeforeAStartGivesAnEmptyTable) {
    ExpectTables("</TABLE><TABLE>a</TABLE>", {{9, 1, 0, ""}, {9, 17, 16, "<TABLE>a</TABLE>"}});
}

TEST(SplitTables, AStartWithoutEndIsNeverRecorded) {
    ExpectTables("<TABLE>a</TABLE><TABLE>b", {{1, 9, 16, "<TABLE>a</TABLE>"}});
    ExpectTables("<TABLE><TABLE", {});
    ExpectTables("", {});
    ExpectTables(std::string(1000, '<'), {});
}

TEST(SplitTables, MarkersMatchExactlyAndAsPrefixes) {
    // "<TABLEAU" begins a table too; lower case and broken markers do not.
    ExpectTables("<table></table><TABLEAU>a</TABLE><TABL></TABLE",
                 {{16, 26, 18, "<TABLEAU>a</TABLE>"}});
}

TEST(SplitTables, ManyOuterEndsStayLinear) {
    std::string page;
    for (int i = 0; i < 2000; ++i) {
        page += "<TABLE><TABLE>x</TABLE></TABLE>\n";
    }
    const std::vector<TableInfo> tables = SplitTables(page);
    // Each nest after the first gives an early-end record (the rest of the
    // page) at its outer start, then its inner table.
    ASSERT_EQ(tables.size(), 1u + 2u * 1999u);
    EXPECT_EQ(tables[1].Length, -1);
    EXPECT_EQ(TableText(page, tables[1]).size(), page.size() - 32);
}

} // namespace
