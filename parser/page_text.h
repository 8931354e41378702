// From a saved page file to the page text that the table scan works on.
#pragma once

#include "parser/page_file.h"
#include "parser/split_tables.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A page in one allocation. Its bytes start `front` bytes in: the table
// conversion writes its results from the start of the block over text it
// has already read, and the room in front lets it do so even where a table's
// text grows. Memory there is only touched when it is needed.
struct PageBlock {
    PageMemory bytes;
    std::size_t front = 0;
    std::size_t size = 0; // of the page, from `front` on

    char* page() const { return bytes.get() + front; }
};

// A block with room for `size` page bytes, not initialised.
PageBlock MakePageBlock(std::size_t size);

// A block holding a copy of `bytes`.
PageBlock PageBlockOf(std::string_view bytes);

// Reads the file at `path` (opened for shared reading) into a block of its
// size; a file that cannot be opened or read gives an empty block. A file
// that changes while it is read gives the bytes that the reads returned: a
// read that comes back short of a known size ends the file.
PageBlock ReadPageFile(const char* path);

// A page text made from the page file's bytes, where its tables' marks are,
// for SplitTables, and where every "<" is, for ConvertMarkupInBlock.
struct PreparedPage {
    std::size_t size = 0;
    std::vector<TableMark> tableMarks;
    std::vector<uint32_t> tagStarts;
};

// Turns the page file's bytes in `bytes` into the page text in place, in
// one pass over them:
// - the bytes are read as text lines joined with nothing between them: a
//   CR ends a line and a LF right after it goes with it, a LF alone is an
//   ordinary byte, and a 0x1A byte ends the file;
// - the inside of every tag is upper-cased, so that later steps match tags
//   with plain case-sensitive comparison: a "<" opens a tag (also inside
//   one) and a ">" closes it;
// - every "'MESSAGE" that is left becomes "'Message", so that no page text
//   looks like the start of a record of the base files, inside a tag or not;
// - every "<", and every "<TABLE" and "</TABLE>" among them, is noted.
PreparedPage PreparePage(std::span<char> bytes);

// The page text made from a copy of the file's bytes.
std::string PreparedPageText(std::string bytes);

// Upper-cases one byte: ASCII letters and the accented letters of code page
// 437 that have a capital form.
unsigned char UpperCaseByte(unsigned char byte);
