// A plain, literal implementation of the page parsing rules, for tests only:
// positions are 1-based, every search starts again from the start of the
// text, and every cell read walks its table from the first line. Slow by
// design; the library's own implementation must give the same bytes.
#pragma once

#include "parser/split_tables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reference {

struct Table {
    TableInfo info;
    std::string text;
};

struct State {
    std::vector<Table> tables;
    std::string threadLink;
};

std::string PageTextFromFileBytes(const std::string& bytes);
// The page text after the record guards and the upper-casing of tags.
std::string PreparedPageText(const std::string& fileBytes);
std::string LinkText(const std::string& span, std::string& threadLink);
std::string ConvertMarkup(std::string text, std::string& threadLink);

// Parses a page from its file bytes; returns the number of tables.
int32_t LoadAndParse(State& state, const std::string& fileBytes);
std::string ReadCell(const State& state, int32_t table, int32_t row, int32_t column);
int32_t GetTableInfo(const State& state, int32_t what, int32_t table);

} // namespace reference
