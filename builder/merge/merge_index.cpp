#include "builder/merge/merge_index.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Calls `visit` with each CR LF-ended line, without its line end.
template <typename Visit> bool ForEachLine(std::string_view index, Visit visit) {
    std::size_t start = 0;
    for (std::size_t end; (end = index.find(kLineEnd, start)) != std::string_view::npos;
         start = end + kLineEnd.size()) {
        if (!visit(index.substr(start, end - start))) {
            return false;
        }
    }
    return true;
}

bool ParseDecimal(std::string_view digits, uint64_t& value) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && stop == digits.data() + digits.size();
}

void AppendDecimal(uint64_t value, std::string& text) {
    char digits[20];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

uint64_t AppendNewIndexLines(std::string_view newIndex, std::string& merged) {
    uint64_t lines = 0;
    ForEachLine(newIndex, [&](std::string_view line) {
        merged.append(line);
        merged.append(kLineEnd);
        ++lines;
        return true;
    });
    return lines;
}

bool AppendOldIndexLines(std::string_view oldIndex, uint64_t firstRecordNumber, uint64_t shift,
                         std::string& merged) {
    uint64_t recordNumber = firstRecordNumber;
    return ForEachLine(oldIndex, [&](std::string_view line) {
        // Field 4 starts after the third TAB, field 5 after the fourth.
        std::size_t fieldStart = 0;
        for (int tab = 0; tab < 4; ++tab) {
            const std::size_t found = line.find('\t', fieldStart);
            if (found == std::string_view::npos) {
                return false;
            }
            if (tab == 2) {
                merged.append(line.substr(0, found + 1));
            }
            fieldStart = found + 1;
        }
        const std::size_t offsetEnd = std::min(line.find('\t', fieldStart), line.size());
        uint64_t offset = 0;
        if (!ParseDecimal(line.substr(fieldStart, offsetEnd - fieldStart), offset) ||
            offset > UINT64_MAX - shift) {
            return false;
        }
        AppendDecimal(recordNumber++, merged);
        merged += '\t';
        AppendDecimal(offset + shift, merged);
        merged.append(line.substr(offsetEnd));
        merged.append(kLineEnd);
        return true;
    });
}
