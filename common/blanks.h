// Blanks around values: the space byte (0x20) alone. TABs and line breaks
// carry meaning in cells, records and paths, so they are never stripped.
#pragma once

#include <string_view>

// `text` without blanks at either end.
std::string_view StripBlanks(std::string_view text);

// `text` without blanks at its end.
std::string_view StripTrailingBlanks(std::string_view text);
