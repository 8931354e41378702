#include "parser/page_parser.h"

#include "parser/convert_markup.h"
#include "parser/page_text.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

// A page whose tables would add up to more text than this is refused as
// unusable. Only pages built against the table scan get there: every
// "</TABLE>" that no table start precedes makes the next table run to the
// end of the page, so a page made of such pairs would need memory and time
// growing with the square of its size.
constexpr std::size_t kMaxTotalTableText = std::size_t{256} << 20;

std::size_t CountLineEnds(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find('\r'); at != std::string_view::npos;
         at = text.find('\r', at + 1)) {
        count += at + 1 < text.size() && text[at + 1] == '\n';
    }
    return count;
}

// Cells per row, rounded to the nearest integer with halves to even.
int32_t CellsPerRow(std::size_t cells, std::size_t rows) {
    if (rows == 0) {
        return 0;
    }
    std::size_t quotient = cells / rows;
    const std::size_t twiceRemainder = 2 * (cells % rows);
    if (twiceRemainder > rows || (twiceRemainder == rows && quotient % 2 == 1)) {
        ++quotient;
    }
    return static_cast<int32_t>(quotient);
}

int32_t ClampTable(const ParseState& state, int32_t table) {
    return std::clamp<int32_t>(table, 1, static_cast<int32_t>(state.tables.size()));
}

} // namespace

int32_t ParsePageText(ParseState& state, std::string pageText) {
    state.threadLink.clear();
    state.tables.clear();
    if (pageText.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2)) {
        return 0;
    }
    PreparePageText(pageText);
    const std::vector<TableInfo> found = SplitTables(pageText);

    std::size_t totalText = 0;
    for (const TableInfo& info : found) {
        totalText += TableText(pageText, info).size();
    }
    if (totalText > kMaxTotalTableText) {
        return 0;
    }

    std::vector<ParsedTable> tables;
    tables.reserve(found.size());
    for (const TableInfo& info : found) {
        ParsedTable& table = tables.emplace_back();
        table.info = info;
        table.text = ConvertMarkup(TableText(pageText, info), state.threadLink);
        table.cells = IndexCells(table.text);
        // Conversion puts every "<TR>" and "<TD>" on a line of its own, so
        // the marker lines are all of them.
        table.info.Lines = static_cast<int32_t>(CountLineEnds(table.text));
        table.info.Rows = static_cast<int32_t>(table.cells.rowLines.size());
        table.info.Cols = CellsPerRow(table.cells.cellLines.size(), table.cells.rowLines.size());
    }
    state.tables = std::move(tables);
    return static_cast<int32_t>(state.tables.size());
}

int32_t LoadAndParse(ParseState& state, const char* path) {
    state.threadLink.clear();
    state.tables.clear();
    return ParsePageText(state, ReadPageText(path));
}

std::string ReadCell(const ParseState& state, int32_t table, int32_t row, int32_t column) {
    if (state.tables.empty()) {
        return {};
    }
    const ParsedTable& parsed = state.tables[ClampTable(state, table) - 1];
    row = std::min(std::max(row, 1), parsed.info.Rows);
    column = std::min(std::max(column, 1), parsed.info.Cols);
    return ReadCellText(parsed.text, parsed.cells, row, column);
}

int32_t GetTableInfo(const ParseState& state, int32_t what, int32_t table) {
    if (what == 0) {
        return state.tables.empty() ? -1 : static_cast<int32_t>(state.tables.size());
    }
    if (state.tables.empty()) {
        return 0;
    }
    const TableInfo& info = state.tables[ClampTable(state, table) - 1].info;
    switch (what) {
    case 1: return info.Rows;
    case 2: return info.Cols;
    case 3: return info.Lines;
    default: return 0;
    }
}
