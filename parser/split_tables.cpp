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

std::vector<TableInfo> SplitTables(std::string_view page) {
    std::vector<TableInfo> tables;
    bool startSeen = false;
    bool endSeen = false;
    std::size_t start = 0;
    std::size_t end = 0;
    // Only '<' can begin either marker, so the scan jumps from '<' to '<'.
    // Going back to a remembered end (below) rescans at most the distance to
    // the table start that completed the record, which the scan then passes
    // for good: the whole scan stays linear.
    std::size_t at = 0;
    while (at < page.size()) {
        const void* next = std::memchr(page.data() + at, '<', page.size() - at);
        if (next == nullptr) {
            break;
        }
        at = static_cast<const char*>(next) - page.data();
        if (At(page, at, kTableStart)) {
            start = at;
            startSeen = true;
        } else if (At(page, at, kTableEnd)) {
            end = at;
            endSeen = true;
        }
        if (startSeen && endSeen) {
            TableInfo table;
            table.StartPos = static_cast<int32_t>(start + 1);
            table.EndPos = static_cast<int32_t>(end + 1);
            table.Length = table.EndPos - table.StartPos + static_cast<int32_t>(kTableEnd.size());
            tables.push_back(table);
            startSeen = false;
            endSeen = false;
            at = end;
        }
        ++at;
    }
    return tables;
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
