// From a saved page file to the page text that the table scan works on.
#pragma once

#include "parser/page_file.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

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

// Turns the page file's bytes in `bytes` into its text in place and returns
// the text's size: the bytes read as text lines joined with nothing between
// them, where a CR ends a line and a LF right after it goes with it, a LF
// alone is an ordinary byte, and a 0x1A byte ends the file.
std::size_t PageTextInPlace(std::span<char> bytes);

// The same, on a copy.
std::string PageTextFromFileBytes(std::string bytes);

// Guards the base files against false record starts ("'MESSAGE" becomes
// "'Message"), upper-cases the inside of every tag, so that later steps can
// match tags with plain case-sensitive comparison, and guards once more
// against the record starts that upper-casing made. Each step is one pass
// over the text, in place.
void PreparePageText(std::span<char> text);

// Upper-cases one byte: ASCII letters and the accented letters of code page
// 437 that have a capital form.
unsigned char UpperCaseByte(unsigned char byte);
