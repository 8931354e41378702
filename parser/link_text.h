// What an anchor turns into, and where the thread link comes from.
#pragma once

#include <string>
#include <string_view>

// Given an anchor from its "<A HREF=" up to, not including, its "</A>",
// returns the text that replaces it: the address from the first "http://" up
// to and including the double quote or space that ends it, or nothing. While
// `threadLink` is empty, an anchor carrying "&thread=http://...html&" sets
// it to the "http://...html" part. Searches ignore ASCII letter case; what
// is taken keeps the anchor's bytes.
std::string LinkText(std::string_view span, std::string& threadLink);
