// Matching file names against a search pattern the way a Windows directory
// search does for plain patterns: "*" stands for any run of characters, "?"
// for one character, letters match whatever their case. Used natively, where
// the directory search itself knows no patterns.
#pragma once

#include <string_view>

bool MatchesNamePattern(std::string_view name, std::string_view pattern);
