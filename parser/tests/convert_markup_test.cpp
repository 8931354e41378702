#include "parser/convert_markup.h"
#include "parser/link_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Convert(const std::string& table) {
    std::string link;
    return ConvertMarkup(table, link);
}

TEST(ConvertMarkup, EachMarkerStandsOnALineOfItsOwn) {
    EXPECT_EQ(Convert("<TD>one<BR>two</TD>"), "\r\n<TD>\r\none\r\ntwo\r\n</TD>\r\n");
    EXPECT_EQ(Convert("<TR CLASS=A><TD WIDTH=3>"), "\r\n<TR>\r\n\r\n<TD>\r\n");
    EXPECT_EQ(Convert("</TR>"), "\r\n</TR>\r\n");
}

TEST(ConvertMarkup, TagsWithoutARuleStay) {
    const struct {
        const char* table;
        const char* text;
    } cases[] = {
        {"<TABLE></TABLE>", "<TABLE>"},
        {"<TABLE WIDTH=1>x</TABLE>", "x"},
        {"<I>it</I>", "it</I>"},
        {"<IMG SRC=\"a.gif\">x<IMG ALT=b SRC=c>", "x<IMG ALT=b SRC=c>"},
        {"<P>a</P>", "\r\na</P>"},
        {"<U>u</U><H1>h</H1><FONT>f</FONT>", "<U>u</U><H1>h</H1><FONT>f"},
        {"a&amp;b&quot;c", "a&amp;b&quot;c"},
        {"<B>b</B><CENTER>c</CENTER><HR><PRE>p</PRE>", "b\r\nc\r\n\r\n\r\np\r\n"},
        {"<BLOCKQUOTE>q</BLOCKQUOTE>", "q"},
    };
    for (const auto& [table, text] : cases) {
        EXPECT_EQ(Convert(table), text) << table;
    }
}

TEST(ConvertMarkup, ReferencesAreDecodedBeforeTheTagRules) {
    // A decoded bold tag comes too late for its rule; a decoded cell tag does not.
    EXPECT_EQ(Convert("&lt;B&gt; &amp;"), "<B> &amp;");
    EXPECT_EQ(Convert("a&nbsp;b&lt;TD&gt;c"), "a b\r\n<TD>\r\nc");
    EXPECT_EQ(Convert("&lt;hr&gt;&lt;HR&gt;"), "<hr>\r\n");
}

TEST(ConvertMarkup, SpansGoWithTheirContent) {
    EXPECT_EQ(Convert("a<P CLASS=X>gone<TD>gone</P>b"), "ab");
    EXPECT_EQ(Convert("a<FORM ACTION=X><TD>gone</FORM>b"), "ab");
    EXPECT_EQ(Convert("<FONT COLOR=RED>red</FONT>"), "red");
}

TEST(ConvertMarkup, ASpanWithoutItsCloseEndsTheRuleAndStays) {
    EXPECT_EQ(Convert("<A HREF=\"HTTP://X/\">x<A HREF=\"HTTP://Y/\">y</A>"), "HTTP://X/\"");
    EXPECT_EQ(Convert("<A HREF=\"HTTP://X/\">x"), "<A HREF=\"HTTP://X/\">x");
    EXPECT_EQ(Convert("<P CLASS=A>x<P CLASS=B>y"), "<P CLASS=A>x<P CLASS=B>y");
    EXPECT_EQ(Convert("<TD WIDTH=1"), "<TD WIDTH=1");
}

TEST(ConvertMarkup, ASpanRemovedMayCompleteAnotherBeforeIt) {
    // Removing the image joins "<TD" and " X>" into a new cell tag.
    EXPECT_EQ(Convert("<TD<IMG SRC=A> X>"), "\r\n<TD>\r\n");
    // An anchor that vanishes joins the two halves of another anchor.
    EXPECT_EQ(Convert("<A <A HREF=Y>z</A>HREF=\"HTTP://Q\">w</A>"), "HTTP://Q\"");
}

TEST(LinkText, AnchorsBecomeTheirAddress) {
    const struct {
        const char* span;
        const char* text;
    } cases[] = {
        {"<A HREF=\"HTTP://X/Y\">Link", "HTTP://X/Y\""},
        {"<A HREF=HTTP://X/Y TARGET=_TOP>Link", "HTTP://X/Y "},
        {"<A HREF=\"HTTP://X/A B\">Link", "HTTP://X/A "},
        {"<A HREF=\"/relative\">Link", ""},
        {"<A HREF=HTTP://X/Y>Link", ""},
        {"<A HREF=#TOP>see http://site/page now", "http://site/page "},
    };
    for (const auto& [span, text] : cases) {
        std::string link;
        EXPECT_EQ(LinkText(span, link), text) << span;
    }
}

TEST(LinkText, TheFirstQualifyingAnchorSetsTheThreadLink) {
    std::string link;
    LinkText("<A HREF=\"X?&THREAD=HTTP://A/B/1.HTML\">no end marker", link);
    EXPECT_EQ(link, "");
    LinkText("<A HREF=\"X?A=1&THREAD=HTTP://A/B/2.HTML&C=3\">", link);
    EXPECT_EQ(link, "HTTP://A/B/2.HTML");
    LinkText("<A HREF=\"X?&thread=http://a/b/3.html&\">", link);
    EXPECT_EQ(link, "HTTP://A/B/2.HTML");

    std::string fromLinkText;
    LinkText("<A HREF=#>go &thread=http://Host/Page.html&x", fromLinkText);
    EXPECT_EQ(fromLinkText, "http://Host/Page.html");
}

TEST(LinkText, AnchorsAreConvertedLeftToRightThroughTheTables) {
    std::string link;
    ConvertMarkup(
        "<A HREF=\"?&THREAD=HTTP://A/1.HTML&\">1</A><A HREF=\"?&THREAD=HTTP://A/2.HTML&\">2</A>",
        link);
    EXPECT_EQ(link, "HTTP://A/1.HTML");
}

} // namespace
