#include "common/ascii_case.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, LowersOnlyLatinCapitals) {
    const struct {
        char byte;
        char lower;
    } cases[] = {
        {'A', 'a'},
        {'Z', 'z'},
        {'a', 'a'},
        {'@', '@'},
        {'[', '['},
        // Windows-1251 capital and small A stay two different bytes.
        {'\xC0', '\xC0'},
        {'\xE0', '\xE0'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LowerAscii(c.byte), c.lower) << c.byte;
    }
}

TEST(AsciiCase, FindMatchesLatinLettersInEitherCase) {
    constexpr std::size_t npos = std::string_view::npos;
    const struct {
        const char* text;
        const char* needle;
        std::size_t from;
        std::size_t position;
    } cases[] = {
        {"Posted: x HTTP://A", "http", 0, 10},
        {"x&Number=7", "&NUMBER=", 0, 1},
        {"WWW.EXAMPLE.COM/SUPPORT", "www.example.com/support", 0, 0},
        {"a.HTML& b.html&", ".html&", 0, 1},
        {"a.HTML& b.html&", ".html&", 2, 9},
        {"a.HTML& b.html&", ".html&", 10, npos},
        {"abc", "", 0, 0},
        {"abc", "", 3, 3},
        {"abc", "", 4, npos},
        {"", "", 0, 0},
        {"htt", "http", 0, npos},
        {"", "h", 0, npos},
        {"\xC0\xC1", "\xE0\xE1", 0, npos},
        {"a\xE0\xE1", "\xE0\xE1", 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindIgnoringAsciiCase(c.text, c.needle, c.from), c.position)
            << c.text << " / " << c.needle << " from " << c.from;
    }
}

TEST(AsciiCase, EqualIgnoresOnlyTheCaseOfLatinLetters) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"C:\\Bases\\FORUM3.DAT", "c:\\bases\\forum3.dat", true},
        {"FORUM3.DA_", "forum3.da_", true},
        {"", "", true},
        {"FORUM3.DAT", "FORUM3.DA", false},
        {"FORUM3.DAT", "FORUM3.IDX", false},
        {"\xC0.DAT", "\xE0.dat", false},
        {"[", "{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
}

} // namespace
