// The markup conversion done literally, rule by rule: one pass over the
// whole text for each rule, in their order. The one-pass conversion hands
// it what it cannot follow.
#pragma once

#include <string>
#include <string_view>

// Converts `table` as ConvertMarkup does. A span whose close does not
// follow it ends its rule and stays as it is.
std::string ConvertMarkupByRules(std::string_view table, std::string& threadLink);
