// Message records of FORUMn.DAT and index lines of FORUMn.IDX, made from the
// cell texts that the parser library reads from one thread page. Pure text
// work: no files, no parser calls.
//
// Cell texts arrive as the parser hands them out: every line ended by
// CR LF. Inside a record lines end with LF; index lines end with CR LF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where a thread page of the forum keeps what a record is made of, in the
// parser's numbering of tables, rows and columns (from 1): the fourth table
// links the page's section; the third has the topic row and then one row
// per post, the author in the first column and the date, the post's link
// and its text in the second.
struct PageCell {
    int32_t table;
    int32_t row;
    int32_t column;
};
constexpr PageCell kForumCell = {4, 2, 2};
constexpr int32_t kPostTable = 3;
constexpr int32_t kAuthorColumn = 1;
constexpr int32_t kTextColumn = 2;
constexpr PageCell kTopicCell = {kPostTable, 1, kTextColumn};
constexpr int32_t kFirstPostRow = 2;
constexpr int32_t kFirstReplyRow = 3;
constexpr PageCell kFirstAuthorCell = {kPostTable, kFirstPostRow, kAuthorColumn};
constexpr PageCell kFirstTextCell = {kPostTable, kFirstPostRow, kTextColumn};

// The labels that begin a record's header lines, each 9 bytes wide so that
// every value starts at the line's 10th byte, and the line that opens each
// reply.
constexpr std::string_view kMessageLabel = "'MESSAGE ";
constexpr std::string_view kForumLabel = "'FORUM:  ";
constexpr std::string_view kTopicLabel = "'TOPIC:  ";
constexpr std::string_view kNameLabel = "'NAME:   ";
constexpr std::string_view kDateLabel = "'DATE:   ";
constexpr std::string_view kFollowUpLine = "'FOLLOW-UP";

// `label`, `value` and LF, appended to `record`.
void AppendHeaderLine(std::string& record, std::string_view label, std::string_view value);

// The 0-based section index named by the forum cell's "&number=" value (any
// letter case, at most two digits, 0 without digits, minus 1); nothing when
// the cell names no section.
std::optional<int> SectionIndexOfForumCell(std::string_view forumCell);

// The thread's title from the topic cell ("Topic: " + title): line breaks
// removed, the six-character label dropped, blanks stripped.
std::string TopicOfCell(std::string_view topicCell);

// The name line's value from the first post's author cell: the first line
// break becomes ", ", TABs and further line breaks go, blanks stripped.
std::string NameOfAuthorCell(std::string_view authorCell);

// The index's author field: the name up to its first comma.
std::string_view IndexAuthorOfName(std::string_view name);

// A post's text cell: the text in front of the post's link (the date), and
// the body that starts at the line break after the link, with CR LF turned
// into LF. A cell without a link reads as if the link ended its first line.
struct PostText {
    std::string_view beforeLink;
    std::string body;
};
PostText SplitPostText(std::string_view textCell);

// The date line's value from the text in front of the first post's link:
// the part behind its first blank (which drops the "Posted:" label).
std::string_view FirstPostDateText(std::string_view beforeLink);

// "'FOLLOW-UP" and the reply's header and body, appended to `record`.
void AppendFollowUp(std::string& record, std::string_view authorCell, std::string_view textCell);

// An index field as written: TAB, CR and LF would break the line apart.
std::string IndexField(std::string_view text);

// The index line's first three fields, each followed by TAB.
std::string IndexPrefix(std::string_view topic, std::string_view author, std::string_view dateText);

// The whole index line: the prefix, record number, 1-based offset and length.
std::string IndexLine(std::string_view indexPrefix, int64_t recordNumber, int64_t offset,
                      int64_t length);
