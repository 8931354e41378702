#include "builder/base/message_record.h"

#include <gtest/gtest.h>

TEST(MessageRecord, ForumCellNamesASectionByItsNumber) {
    const struct {
        const char* cell;
        std::optional<int> sectionIndex;
    } cases[] = {
        {"HTTP://X/?DO=LIST&NUMBER=3&PAGE=1\"\r\n", 2},
        {"  x&number=12\r\n", 11},
        {"x&Number=7", 6},
        {"x&number=123", 11}, // two digits at most
        {"x&number=a1", -1},  // no digit reads as 0
        {"x&number=", -1},
        {"x&num=3", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SectionIndexOfForumCell(c.cell), c.sectionIndex) << c.cell;
    }
}

TEST(MessageRecord, TopicDropsTheLabelAndLineBreaks) {
    EXPECT_EQ(TopicOfCell("Topic: Index rebuild\r\n"), "Index rebuild");
    EXPECT_EQ(TopicOfCell("  Topic:   Two\r\nlines  \r\n"), "Twolines");
    EXPECT_EQ(TopicOfCell("Topic\r\n"), "");
    EXPECT_EQ(TopicOfCell(""), "");
}

TEST(MessageRecord, AuthorCellBecomesNameAndIndexAuthor) {
    const struct {
        const char* cell;
        const char* name;
        const char* indexAuthor;
    } cases[] = {
        {"anna_k\r\nMember\r\n", "anna_k, Member", "anna_k"},
        {"anna\r\n", "anna,", "anna"},
        {"olga\r\nModerator\r\nMinsk\r\n", "olga, ModeratorMinsk", "olga"},
        {" ta\tb \r\nX\r\n", "tab , X", "tab"},
        {"plain", "plain", "plain"},
    };
    for (const auto& c : cases) {
        const std::string name = NameOfAuthorCell(c.cell);
        EXPECT_EQ(name, c.name) << c.cell;
        EXPECT_EQ(IndexAuthorOfName(name), c.indexAuthor) << c.cell;
    }
}

TEST(MessageRecord, PostTextSplitsAtTheLinkAndTheLineBreakAfterIt) {
    const struct {
        const char* cell;
        const char* beforeLink;
        const char* body;
        const char* firstPostDate;
    } cases[] = {
        {"Posted: Dec 05, 2005 HTTP://X/1\"\r\nBody\r\nmore\r\n", "Posted: Dec 05, 2005 ",
         "\nBody\nmore\n", "Dec 05, 2005"},
        {"Posted: Dec 05 hTtP://X/1\"", "Posted: Dec 05 ", "", "Dec 05"},
        // Without a link the first line stands for the text before it.
        {"Posted: Dec 05\r\nBody\r\n", "Posted: Dec 05", "\nBody\n", "Dec 05"},
        {"Dec05", "Dec05", "", "Dec05"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        const PostText post = SplitPostText(c.cell);
        EXPECT_EQ(post.beforeLink, c.beforeLink) << c.cell;
        EXPECT_EQ(post.body, c.body) << c.cell;
        EXPECT_EQ(FirstPostDateText(post.beforeLink), c.firstPostDate) << c.cell;
    }
}

TEST(MessageRecord, FollowUpKeepsFurtherAuthorLinesAndTheWholeDateText) {
    std::string record = "x";
    AppendFollowUp(record, "boris\r\nModerator\r\n",
                   " Posted: Dec 06, 2005 HTTP://X/2\"\r\nYes.\r\n");
    AppendFollowUp(record, "anna\r\nMember\r\nKiev\r\n", "Posted:\r\nDec 07 http://x\r\n");
    AppendFollowUp(record, "solo", "no link");
    EXPECT_EQ(record, "x'FOLLOW-UP\n'boris, Moderator\n'Posted: Dec 06, 2005\n\nYes.\n"
                      "'FOLLOW-UP\n'anna, Member\nKiev\n'Posted:\r\nDec 07\n\n"
                      "'FOLLOW-UP\n'solo'no link\n");
}

TEST(MessageRecord, IndexLineFieldsNeverBreakTheLine) {
    EXPECT_EQ(IndexLine(IndexPrefix("A\ttopic\r\n", "au\nthor", "Dec\r 05"), 2, 1701, 730),
              "Atopic\tauthor\tDec 05\t2\t1701\t730\r\n");
    EXPECT_EQ(IndexLine(IndexPrefix("", "", ""), 0, 1, 500), "\t\t\t0\t1\t500\r\n");
}
