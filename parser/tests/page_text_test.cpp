#include "parser/page_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(PageText, LineEndsFollowTheTextLineRules) {
    const struct {
        std::string file;
        std::string text;
    } cases[] = {
        {"one\r\ntwo", "onetwo"},           // CR LF joins the words
        {"one\ntwo\n", "one\ntwo\n"},       // LF alone is an ordinary byte
        {"a\rb\r\nc\nd\n\re", "abc\nd\ne"}, // mixed
        {"a\r\r\nb", "ab"},                 // CR, then CR LF
        {"\x1A<TABLE>", ""},                // 0x1A first: nothing is read
        {"ab\x1A\r\ncd", "ab"},             // 0x1A ends the file
        {"ab\r\x1A", "ab"},
        {""s, ""},
        {"\0a\r\n\0"s, "\0a\0"s}, // zero bytes are ordinary bytes
    };
    for (const auto& [file, text] : cases) {
        EXPECT_EQ(PreparedPageText(file), text) << file;
    }
}

TEST(PageText, RecordStartsInThePageAreDefused) {
    std::string text = "'MESSAGE x 'MESSAGES 'message ''MESSAGE";
    EXPECT_EQ(PreparedPageText(text), "'Message x 'MessageS 'message ''Message");
}

TEST(PageText, OnlyTheInsideOfTagsIsUpperCased) {
    std::string text = "text <a href=\"http://x/y\">Link</a> more > still <b";
    EXPECT_EQ(PreparedPageText(text), "text <A HREF=\"HTTP://X/Y\">Link</A> more > still <B");
}

TEST(PageText, UnbalancedBracketsFollowTheLastBracketSeen) {
    std::string text = "<a<b>c>d<<e";
    EXPECT_EQ(PreparedPageText(text), "<A<B>c>d<<E");
}

TEST(PageText, NoRecordStartSurvivesTheUpperCasingOfTags) {
    std::string text = "<x 'MESSAGE>'MESSAGE<x\n'message http://x\n'forum:  x>";
    EXPECT_EQ(PreparedPageText(text), "<X 'Message>'Message<X\n'Message HTTP://X\n'FORUM:  X>");
}

TEST(PageText, UpperCasingCoversAsciiAndSevenCodePage437Letters) {
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char expected = static_cast<unsigned char>(byte);
        if (byte >= 'a' && byte <= 'z') {
            expected = static_cast<unsigned char>(byte - 32);
        }
        switch (byte) {
        case 0x81: expected = 0x9A; break;
        case 0x82: expected = 0x90; break;
        case 0x84: expected = 0x8E; break;
        case 0x86: expected = 0x8F; break;
        case 0x87: expected = 0x80; break;
        case 0x94: expected = 0x99; break;
        case 0xA4: expected = 0xA5; break;
        default: break;
        }
        EXPECT_EQ(UpperCaseByte(static_cast<unsigned char>(byte)), expected) << byte;
    }
}

} // namespace
