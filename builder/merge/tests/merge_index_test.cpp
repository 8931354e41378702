#include "builder/merge/merge_index.h"

#include <gtest/gtest.h>

TEST(MergeIndex, NewLinesAreCopiedUpToTheLastLineEnd) {
    std::string merged = "kept";
    EXPECT_EQ(AppendNewIndexLines("t\ta\td\t0\t1\t9\r\nt2\ta\td\t1\t10\t5\r\nhalf", merged), 2u);
    EXPECT_EQ(merged, "keptt\ta\td\t0\t1\t9\r\nt2\ta\td\t1\t10\t5\r\n");
    EXPECT_EQ(AppendNewIndexLines("no line end", merged), 0u);
    EXPECT_EQ(AppendNewIndexLines("", merged), 0u);
}

TEST(MergeIndex, OldLinesAreRenumberedAndShifted) {
    struct Case {
        const char* name;
        std::string oldIndex;
        uint64_t firstRecordNumber;
        uint64_t shift;
        std::string merged;
    };
    const Case cases[] = {
        {"example", "a\tb\tc\t7\t1201\t95\r\n", 10, 5000, "a\tb\tc\t10\t6201\t95\r\n"},
        {"nothing in front", "a\tb\tc\t3\t1\t95\r\na\tb\tc\t4\t96\t7\r\n", 0, 0,
         "a\tb\tc\t0\t1\t95\r\na\tb\tc\t1\t96\t7\r\n"},
        {"offset as last field", "a\tb\tc\t7\t12\r\n", 2, 3, "a\tb\tc\t2\t15\r\n"},
        {"extra fields and bytes kept", "a b\t\t\xE0\r\t\t12\t95\tx\ty\r\n", 1, 1,
         "a b\t\t\xE0\r\t1\t13\t95\tx\ty\r\n"},
        {"past 4 GB", "a\tb\tc\t0\t4294967000\t95\r\n", 5, 5000000000,
         "a\tb\tc\t5\t9294967000\t95\r\n"},
        {"last line without line end", "a\tb\tc\t0\t1\t9\r\nnot\ta\tline", 0, 0,
         "a\tb\tc\t0\t1\t9\r\n"},
        {"largest offset", "a\tb\tc\t0\t18446744073709551614\t1\r\n", 0, 1,
         "a\tb\tc\t0\t18446744073709551615\t1\r\n"},
    };
    for (const Case& c : cases) {
        std::string merged;
        EXPECT_TRUE(AppendOldIndexLines(c.oldIndex, c.firstRecordNumber, c.shift, merged))
            << c.name;
        EXPECT_EQ(merged, c.merged) << c.name;
    }
}

TEST(MergeIndex, LinesWithoutADecimalOffsetAreRefused) {
    const std::string lines[] = {
        "a\tb\tc\t7\r\n",
        "a\tb\tc\t7\t\t95\r\n",
        "a\tb\tc\t7\tx12\t95\r\n",
        "a\tb\tc\t7\t-12\t95\r\n",
        "a\tb\tc\t7\t 12\t95\r\n",
        "a\tb\tc\t7\t12 \t95\r\n",
        "a\tb\tc\t7\t99999999999999999999\t95\r\n",
        "a\tb\tc\t7\t18446744073709551615\t95\r\n",
    };
    for (const std::string& line : lines) {
        std::string merged;
        EXPECT_FALSE(AppendOldIndexLines("a\tb\tc\t0\t1\t9\r\n" + line, 0, 1, merged)) << line;
    }
}
