// Letter case of ASCII bytes only. Page texts are bytes in an unknown code
// page, so a byte outside A..Z and a..z never changes: 0xC0 and 0xE0 are
// two letters of Windows-1251, not one letter in two cases. The markers the
// builder looks for (the forum address, "http", "&number=", month names)
// are all Latin.
#pragma once

#include <cstddef>
#include <string_view>

char LowerAscii(char byte);

// Where `needle` first occurs in `text` with ASCII letters matching in
// either case; npos when it does not.
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle);
