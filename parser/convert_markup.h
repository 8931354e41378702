// From the markup of one table to text lines with row and cell markers.
#pragma once

#include <string>
#include <string_view>

// Applies the 29 conversion rules in order to a table text whose tags are
// upper case: line-breaking tags become CR LF, emphasis and layout tags go,
// "&nbsp;", "&lt;" and "&gt;" are decoded, anchors become their address
// (LinkText, which may also set `threadLink`), and every "<TR>", "<TD>",
// "</TD>" and "</TR>" ends up on a line of its own.
std::string ConvertMarkup(std::string_view table, std::string& threadLink);
