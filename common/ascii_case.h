// Letter case of ASCII bytes only. Page texts, file names and bases are
// bytes in an unknown code page, so a byte outside A..Z and a..z never
// changes: 0xC0 and 0xE0 are two letters of Windows-1251, not one letter in
// two cases. Everything looked for without case (the forum address, "http",
// "&number=", month names, "*.html", base file names) is Latin.
#pragma once

#include <cstddef>
#include <string_view>

constexpr char LowerAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Where `needle` first occurs in `text` at or after `from`, ASCII letters
// matching in either case; npos when it does not.
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle,
                                  std::size_t from = 0);

// The same bytes but for the case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
