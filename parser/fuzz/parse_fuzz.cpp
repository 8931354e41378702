// Any bytes as a saved page: the parser must not crash, hang or read out of
// bounds, and must give exactly what the literal rules give.
#include "parser/convert_markup.h"
#include "parser/markup_rules.h"
#include "parser/page_parser.h"
#include "parser/tests/reference_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Mismatch(const char* what, int32_t table, int32_t row, int32_t column) {
    std::fprintf(stderr, "parser and literal rules differ: %s (table %d, row %d, column %d)\n",
                 what, static_cast<int>(table), static_cast<int>(row), static_cast<int>(column));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as one table text, through both ways of converting it.
    std::string expectedLink;
    const std::string expectedText = reference::ConvertMarkup(bytes, expectedLink);
    std::string byRulesLink;
    if (ConvertMarkupByRules(bytes, byRulesLink) != expectedText || byRulesLink != expectedLink) {
        Mismatch("rule by rule conversion", 0, 0, 0);
    }
    std::string link;
    if (ConvertMarkup(bytes, link) != expectedText || link != expectedLink) {
        Mismatch("conversion", 0, 0, 0);
    }

    ParseState actual;
    const int32_t tables = ParseFileBytes(actual, bytes);
    reference::State expected;
    if (reference::LoadAndParse(expected, bytes) != tables) {
        Mismatch("table count", 0, 0, 0);
    }
    if (actual.threadLink != expected.threadLink) {
        Mismatch("thread link", 0, 0, 0);
    }
    for (int32_t table = 0; table <= tables + 1; ++table) {
        for (int32_t what = 0; what <= 4; ++what) {
            if (GetTableInfo(actual, what, table) !=
                reference::GetTableInfo(expected, what, table)) {
                Mismatch("table info", table, what, 0);
            }
        }
        const int32_t rows = reference::GetTableInfo(expected, 1, table);
        const int32_t columns = reference::GetTableInfo(expected, 2, table);
        for (int32_t row = 0; row <= rows + 1; ++row) {
            for (int32_t column = 0; column <= columns + 1; ++column) {
                if (ReadCell(actual, table, row, column) !=
                    reference::ReadCell(expected, table, row, column)) {
                    Mismatch("cell text", table, row, column);
                }
            }
        }
    }
    return 0;
}
