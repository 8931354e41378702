// One parsed page: its tables, converted to text, and its thread link.
#pragma once

#include "parser/convert_markup.h"
#include "parser/page_text.h"
#include "parser/split_tables.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ParsedTable {
    TableInfo info;
    ConvertedText text; // markers and text on lines ended by CR LF
};

struct ParseState {
    PageBlock page;                  // holds the converted tables that fit where the page was
    std::vector<ParsedTable> tables; // tables 1..n of the last parse
    std::string threadLink;
};

// Replaces `state` with the parse of a page whose file bytes are in `page`
// and returns the number of tables, 0 when the page is unusable.
int32_t ParsePage(ParseState& state, PageBlock page);

// The same for file bytes held elsewhere.
int32_t ParseFileBytes(ParseState& state, std::string_view fileBytes);

// Reads and parses the page file at `path`.
int32_t LoadAndParse(ParseState& state, const char* path);

// The converted text of table `table` (1-based, in range).
std::string_view TableTextOf(const ParseState& state, int32_t table);

// The text of one cell, the table, row and column clamped to the page.
std::string ReadCell(const ParseState& state, int32_t table, int32_t row, int32_t column);

// 0: table count (-1 without tables); 1, 2, 3: rows, columns, lines of the
// clamped table (0 without tables); any other selector 0.
int32_t GetTableInfo(const ParseState& state, int32_t what, int32_t table);
