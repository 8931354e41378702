#include "parser/cell_reader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kMarkerLine = 6; // "<TR>" or "<TD>" with its CR LF

// The first offset in `lines` at or after `from`.
std::vector<uint32_t>::const_iterator FirstFrom(const std::vector<uint32_t>& lines,
                                                std::size_t from) {
    return std::lower_bound(lines.begin(), lines.end(), from);
}

bool Contains(const std::vector<uint32_t>& lines, std::size_t at) {
    const auto found = FirstFrom(lines, at);
    return found != lines.end() && *found == at;
}

// Start of the line after the one at `at`; npos when that line has no end.
std::size_t LineAfter(std::string_view text, std::size_t at) {
    const std::size_t end = text.find(kLineEnd, at);
    return end == std::string_view::npos ? std::string_view::npos : end + 2;
}

} // namespace

void AddMarkerLine(CellIndex& index, std::string_view line, uint32_t at) {
    if (line == "<TR>") {
        index.rowLines.push_back(at);
    } else if (line == "<TD>") {
        index.cellLines.push_back(at);
    } else if (line == "</TD>") {
        index.cellEndLines.push_back(at);
    }
}

CellIndex IndexCells(std::string_view text) {
    CellIndex index;
    // One walk from line end to line end counts the lines and finds the
    // marker lines among them.
    std::size_t lineStart = 0;
    for (std::size_t at = text.find('\r'); at != std::string_view::npos;
         at = text.find('\r', at + 1)) {
        if (at + 1 < text.size() && text[at + 1] == '\n') {
            IndexMarkerLine(index, text.substr(lineStart, at - lineStart),
                            static_cast<uint32_t>(lineStart));
            lineStart = at + 2;
            ++index.lines;
            if (index.secondLine == 0) {
                index.secondLine = static_cast<uint32_t>(lineStart);
            }
            index.linesEnd = static_cast<uint32_t>(lineStart);
        }
    }
    return index;
}

std::string ReadCellText(std::string_view text, const CellIndex& index, int32_t row,
                         int32_t column) {
    // Where the row begins: after its "<TR>" line, or for row 0 after the
    // first line.
    std::size_t rowStart;
    if (row >= 1) {
        if (static_cast<std::size_t>(row) > index.rowLines.size()) {
            return {};
        }
        rowStart = index.rowLines[row - 1] + kMarkerLine;
    } else {
        if (index.secondLine == 0) {
            return {};
        }
        rowStart = index.secondLine;
    }
    if (rowStart >= index.linesEnd) {
        return {};
    }

    // Where the cell begins: after the column-th "<TD>" line from the row
    // start, or for column 0 after the row's first line unless that line
    // counts as a cell.
    std::size_t cellStart;
    if (column >= 1) {
        const auto first = FirstFrom(index.cellLines, rowStart);
        if (index.cellLines.end() - first < column) {
            return {};
        }
        cellStart = *(first + (column - 1)) + kMarkerLine;
    } else {
        if (Contains(index.cellLines, rowStart)) {
            return {};
        }
        cellStart = LineAfter(text, rowStart);
    }
    if (cellStart == std::string_view::npos || cellStart >= index.linesEnd) {
        return {};
    }

    const auto cellEnd = FirstFrom(index.cellEndLines, cellStart);
    const std::size_t end = cellEnd == index.cellEndLines.end() ? index.linesEnd : *cellEnd;

    // Copy the lines in between, leaving out "<TR>" and "<TD>" lines.
    std::string cell;
    cell.reserve(end - cellStart);
    auto rowLine = FirstFrom(index.rowLines, cellStart);
    auto cellLine = FirstFrom(index.cellLines, cellStart);
    std::size_t copyFrom = cellStart;
    for (;;) {
        const std::size_t nextRow =
            rowLine != index.rowLines.end() ? *rowLine : std::string_view::npos;
        const std::size_t nextCell =
            cellLine != index.cellLines.end() ? *cellLine : std::string_view::npos;
        const std::size_t skip = std::min(nextRow, nextCell);
        if (skip >= end) {
            break;
        }
        cell.append(text.substr(copyFrom, skip - copyFrom));
        copyFrom = skip + kMarkerLine;
        if (skip == nextRow) {
            ++rowLine;
        } else {
            ++cellLine;
        }
    }
    cell.append(text.substr(copyFrom, end - copyFrom));
    return cell;
}
