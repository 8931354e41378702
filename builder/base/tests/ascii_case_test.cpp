#include "builder/base/ascii_case.h"

#include <gtest/gtest.h>

TEST(AsciiCase, LowersOnlyLatinCapitals) {
    EXPECT_EQ(LowerAscii('A'), 'a');
    EXPECT_EQ(LowerAscii('Z'), 'z');
    EXPECT_EQ(LowerAscii('a'), 'a');
    EXPECT_EQ(LowerAscii('@'), '@');
    EXPECT_EQ(LowerAscii('['), '[');
    // Windows-1251 capital and small A stay two different bytes.
    EXPECT_EQ(LowerAscii('\xC0'), '\xC0');
    EXPECT_EQ(LowerAscii('\xE0'), '\xE0');
}

TEST(AsciiCase, FindMatchesLatinLettersInEitherCase) {
    const struct {
        const char* text;
        const char* needle;
        std::size_t position;
    } cases[] = {
        {"Posted: x HTTP://A", "http", 10},
        {"x&Number=7", "&number=", 1},
        {"WWW.EXAMPLE.COM/SUPPORT", "www.example.com/support", 0},
        {"abc", "", 0},
        {"", "", 0},
        {"htt", "http", std::string_view::npos},
        {"", "h", std::string_view::npos},
        {"\xC0\xC1", "\xE0\xE1", std::string_view::npos},
        {"a\xE0\xE1", "\xE0\xE1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindIgnoringAsciiCase(c.text, c.needle), c.position)
            << c.text << " / " << c.needle;
    }
}
