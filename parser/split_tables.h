// Cutting the prepared page text into tables.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// One table of a parsed page. Positions are 1-based in the page text.
struct TableInfo {
    int32_t Rows = 0;     // "<TR>" markers in the converted text
    int32_t Cols = 0;     // "<TD>" markers per row, rounded half to even
    int32_t Lines = 0;    // CR LF in the converted text
    int32_t StartPos = 0; // the "<TABLE" that began the table
    int32_t EndPos = 0;   // the "</TABLE>" that ended it
    int32_t Length = 0;   // EndPos - StartPos + 8; 0 or less for a table
                          // completed by an earlier, unmatched "</TABLE>"
};

// Where a "<TABLE" (or, with `end`, a "</TABLE>") begins in the page text.
struct TableMark {
    uint32_t at = 0;
    bool end = false;
};

// Walks the table marks of a page text, in page order, for "<TABLE" ...
// "</TABLE>" pairs in the order they complete. Of nested tables the
// innermost is recorded; a "</TABLE>" with no open table is remembered and
// completes a record at the next "<TABLE" (whose table is then recorded once
// more when its own end comes).
std::vector<TableInfo> SplitTables(std::span<const TableMark> marks);

// The same for a page text whose marks are not known yet.
std::vector<TableInfo> SplitTables(std::string_view page);

// The raw text of a recorded table: the Length bytes from StartPos, nothing
// for Length 0, and the rest of the page for a negative Length.
std::string_view TableText(std::string_view page, const TableInfo& table);
