#include "common/blanks.h"

#include <gtest/gtest.h>

namespace {

TEST(Blanks, OnlySpacesAreStripped) {
    const struct {
        const char* text;
        const char* stripped;
        const char* trailingStripped;
    } cases[] = {
        {"  a b  ", "a b", "  a b"},
        {"a", "a", "a"},
        {"   ", "", ""},
        {"", "", ""},
        {"\ta\r\n ", "\ta\r\n", "\ta\r\n"},
        {" \xA0x\xA0 ", "\xA0x\xA0", " \xA0x\xA0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripBlanks(c.text), c.stripped) << '"' << c.text << '"';
        EXPECT_EQ(StripTrailingBlanks(c.text), c.trailingStripped) << '"' << c.text << '"';
    }
}

} // namespace
