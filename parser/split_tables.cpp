#include "parser/split_tables.h"

#include <cstring>

namespace {

constexpr std::string_view kTableStart = "<TABLE";
constexpr std::string_view kTableEnd = "</TABLE>";

bool At(std::string_view page, std::size_t at, std::string_view marker) {
    return page.size() - at >= marker.size() &&
           std::memcmp(page.data() + at, marker.data(), marker.size()) == 0;
}

} // namespace

std::vector<TableInfo> SplitTables(std::span<const TableMark> marks) {
    std::vector<TableInfo> tables;
    bool startSeen = false;
    bool endSeen = false;
    std::size_t start = 0;
    std::size_t end = 0;
    // Going back to a remembered end (below) walks again at most the marks up
    // to the table start that completed the record, which the walk then
    // passes for good: the whole walk stays linear.
    std::size_t endMark = 0;
    for (std::size_t mark = 0; mark < marks.size(); ++mark) {
        if (marks[mark].end) {
            end = marks[mark].at;
            endSeen = true;
            endMark = mark;
        } else {
            start = marks[mark].at;
            startSeen = true;
        }
        if (startSeen && endSeen) {
            TableInfo table;
            table.StartPos = static_cast<int32_t>(start + 1);
            table.EndPos = static_cast<int32_t>(end + 1);
            table.Length = table.EndPos - table.StartPos + static_cast<int32_t>(kTableEnd.size());
            tables.push_back(table);
            startSeen = false;
            endSeen = false;
            mark = endMark;
        }
    }
    return tables;
}

std::vector<TableInfo> SplitTables(std::string_view page) {
    std::vector<TableMark> marks;
    for (std::size_t at = page.find('<'); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        if (At(page, at, kTableStart)) {
            marks.push_back({static_cast<uint32_t>(at), false});
        } else if (At(page, at, kTableEnd)) {
            marks.push_back({static_cast<uint32_t>(at), true});
        }
    }
    return SplitTables(marks);
}

std::string_view TableText(std::string_view page, const TableInfo& table) {
    const std::size_t start = static_cast<std::size_t>(table.StartPos) - 1;
    if (table.Length == 0) {
        return {};
    }
    if (table.Length < 0) {
        return page.substr(start);
    }
    return page.substr(start, static_cast<std::size_t>(table.Length));
}
