#include "parser/page_parser.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace {

// A page whose tables would add up to more text than this is refused as
// unusable. Only pages built against the table scan get there: every
// "</TABLE>" that no table start precedes makes the next table run to the
// end of the page, so a page made of such pairs would need memory and time
// growing with the square of its size.
constexpr std::size_t kMaxTotalTableText = std::size_t{256} << 20;

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

// The tag starts of a table text, counted from the page text's start.
std::span<const uint32_t> TagStartsIn(const PreparedPage& page, std::string_view text,
                                      std::string_view pageText) {
    const std::vector<uint32_t>& starts = page.tagStarts;
    const std::size_t begin = text.data() - pageText.data();
    const auto first = std::lower_bound(starts.begin(), starts.end(), begin);
    const auto last = std::lower_bound(first, starts.end(), begin + text.size());
    return {first, last};
}

int32_t ClampTable(const ParseState& state, int32_t table) {
    return std::clamp<int32_t>(table, 1, static_cast<int32_t>(state.tables.size()));
}

} // namespace

int32_t ParsePage(ParseState& state, PageBlock page) {
    state.threadLink.clear();
    state.tables.clear();
    state.page = {};
    char* const block = page.bytes.get();
    if (block == nullptr) {
        return 0;
    }
    if (page.size > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2)) {
        return 0;
    }
    const PreparedPage prepared = PreparePage({page.page(), page.size});
    page.size = prepared.size;
    const std::string_view pageText(page.page(), page.size);
    const std::vector<TableInfo> found = SplitTables(prepared.tableMarks);

    std::size_t totalText = 0;
    for (const TableInfo& info : found) {
        totalText += TableText(pageText, info).size();
    }
    if (totalText > kMaxTotalTableText) {
        return 0;
    }

    // A table is converted in the block, over its own text, when no later
    // table reads any of that text; only a table completed by an unmatched
    // "</TABLE>", which runs to the end of the page, is converted into memory
    // of its own. In the block each table's text follows the previous one's.
    std::vector<std::size_t> laterStart(found.size());
    std::size_t firstLater = SIZE_MAX;
    for (std::size_t k = found.size(); k-- > 0;) {
        laterStart[k] = firstLater;
        if (const std::string_view text = TableText(pageText, found[k]); !text.empty()) {
            firstLater = std::min<std::size_t>(firstLater, text.data() - block);
        }
    }

    std::vector<ParsedTable> tables;
    tables.reserve(found.size());
    std::size_t at = 0;
    for (std::size_t k = 0; k < found.size(); ++k) {
        ParsedTable& table = tables.emplace_back();
        table.info = found[k];
        const std::string_view text = TableText(pageText, found[k]);
        if (text.empty()) {
            table.text.begin = table.text.end = at;
        } else if (static_cast<std::size_t>(text.data() - block) + text.size() <= laterStart[k]) {
            table.text =
                ConvertMarkupInBlock(block, at, text, TagStartsIn(prepared, text, pageText),
                                     page.front, state.threadLink);
            if (table.text.inBlock) {
                at = table.text.end;
            }
        } else {
            table.text.inBlock = false;
            table.text.own = ConvertMarkup(text, state.threadLink);
            table.text.cells = IndexCells(table.text.own);
        }
        const CellIndex& cells = table.text.cells;
        // Conversion puts every "<TR>" and "<TD>" on a line of its own, so
        // the marker lines are all of them.
        table.info.Lines = static_cast<int32_t>(cells.lines);
        table.info.Rows = static_cast<int32_t>(cells.rowLines.size());
        table.info.Cols = CellsPerRow(cells.cellLines.size(), cells.rowLines.size());
    }
    state.page = std::move(page);
    state.tables = std::move(tables);
    return static_cast<int32_t>(state.tables.size());
}

int32_t ParseFileBytes(ParseState& state, std::string_view fileBytes) {
    return ParsePage(state, PageBlockOf(fileBytes));
}

int32_t LoadAndParse(ParseState& state, const char* path) {
    // The previous page goes before the next one is read, not after.
    state = ParseState{};
    return ParsePage(state, ReadPageFile(path));
}

std::string_view TableTextOf(const ParseState& state, int32_t table) {
    const ConvertedText& text = state.tables[table - 1].text;
    if (!text.inBlock) {
        return text.own;
    }
    return {state.page.bytes.get() + text.begin, text.end - text.begin};
}

std::string ReadCell(const ParseState& state, int32_t table, int32_t row, int32_t column) {
    if (state.tables.empty()) {
        return {};
    }
    table = ClampTable(state, table);
    const ParsedTable& parsed = state.tables[table - 1];
    row = std::min(std::max(row, 1), parsed.info.Rows);
    column = std::min(std::max(column, 1), parsed.info.Cols);
    return ReadCellText(TableTextOf(state, table), parsed.text.cells, row, column);
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
