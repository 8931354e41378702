// Reading one cell of a converted table by walking its lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the marker lines of a converted table are, so that a read can jump
// to its cell instead of walking every line from the first, and how many
// lines it has. Offsets are byte positions of the lines "<TR>", "<TD>" and
// "</TD>" in the text.
struct CellIndex {
    std::vector<uint32_t> rowLines;
    std::vector<uint32_t> cellLines;
    std::vector<uint32_t> cellEndLines;
    uint32_t secondLine = 0; // start of the second line; 0 when there is none
    uint32_t linesEnd = 0;   // just after the last CR LF: later text is never read
    uint32_t lines = 0;      // CR LF in the text
};

CellIndex IndexCells(std::string_view text);

// Adds the line that starts at `at` to `index` when it is a marker line:
// "<TR>", "<TD>" or "</TD>". Most lines are told apart by their length.
void AddMarkerLine(CellIndex& index, std::string_view line, uint32_t at);
inline void IndexMarkerLine(CellIndex& index, std::string_view line, uint32_t at) {
    if (line.size() == 4 || line.size() == 5) {
        AddMarkerLine(index, line, at);
    }
}

// The text of cell (row, column) as the line walk finds it: row r begins
// after the r-th "<TR>" line, cells count from there (on into later rows),
// and the cell is every other line up to the next "</TD>" line, each with
// its CR LF; "<TR>" and "<TD>" lines inside are skipped. Row 0 (a table
// without rows) begins after the first line; column 0 after the row's first
// line unless that line is a "<TD>" line.
std::string ReadCellText(std::string_view text, const CellIndex& index, int32_t row,
                         int32_t column);
