// From the markup of one table to text lines with row and cell markers.
#pragma once

#include "parser/cell_reader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Converts a table text whose tags are upper case: line-breaking tags become
// CR LF, emphasis and layout tags go, "&nbsp;", "&lt;" and "&gt;" are
// decoded, anchors become their address (LinkText, which may also set
// `threadLink`), and every "<TR>", "<TD>", "</TD>" and "</TR>" ends up on a
// line of its own. One pass over the tags does it; what that pass cannot
// follow (a tag left open, for one) is converted rule by rule.
std::string ConvertMarkup(std::string_view table, std::string& threadLink);

// Where a table's converted text went: into the page's block, from `begin`
// to `end`, or, when it did not fit there, into `own`; and its cell index.
struct ConvertedText {
    bool inBlock = true;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string own;
    CellIndex cells;
};

// The same conversion for a table text of a page (which holds no CR) that
// lies in `block` at or after `at`, written into the block from `at` on,
// over table text already read. Every byte of the block before the table's
// end may be overwritten. `tagStarts` are where the table's "<" are, in
// order, all of them and nothing else, counted from `tagOrigin` in the block.
ConvertedText ConvertMarkupInBlock(char* block, std::size_t at, std::string_view table,
                                   std::span<const uint32_t> tagStarts, std::size_t tagOrigin,
                                   std::string& threadLink);
