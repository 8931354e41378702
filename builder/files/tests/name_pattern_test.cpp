#include "builder/files/name_pattern.h"

#include <gtest/gtest.h>

TEST(NamePattern, MatchesLikeADirectorySearch) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"page1.html", "*.html", true},
        {"PAGE1.HTML", "*.html", true},
        {"page1.HtMl", "*.HTML", true},
        {"page1.htm", "*.html", false},
        {"page1.html.bak", "*.html", false},
        {".html", "*.html", true},
        {"a.b.html", "*.html", true},
        {"FORUM3.DAT", "FORUM?.DAT", true},
        {"FORUM12.DAT", "FORUM?.DAT", false},
        {"FORUM12.DAT", "FORUM*.DAT", true},
        {"x", "*", true},
        {"x", "", false},
        {"", "*", true},
        {"aaab", "*a*b", true},
        {"aaa", "*a*b", false},
        {"\xC0\xE1.html", "\xC0*.html", true},
        {"\xE0\xE1.html", "\xC0*.html", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesNamePattern(c.name, c.pattern), c.matches)
            << c.name << " against " << c.pattern;
    }
}
