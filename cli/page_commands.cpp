// "info" and "cell": what the parser library makes of one page.
#include "cli/commands.h"

#include "parser/parvex.h"
#include "parser/px_string.h"

#include <cstdint>
#include <cstdio>

namespace {

void WriteBytes(std::string_view bytes) {
    if (!bytes.empty()) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
}

} // namespace

int RunInfo(const Arguments& arguments) {
    if (arguments.size() != 1) {
        return UsageError("info takes one page file");
    }
    const int32_t tables = pxLoadAndParse(arguments[0].c_str());
    std::printf("tables %d\n", static_cast<int>(tables));
    const PxText link(GetLink());
    WriteBytes("link ");
    WriteBytes(link.bytes());
    WriteBytes("\n");
    for (int32_t table = 1; table <= tables; ++table) {
        std::printf(
            "%d %d %d %d\n", static_cast<int>(table), static_cast<int>(pxGetTableInfo(1, table)),
            static_cast<int>(pxGetTableInfo(2, table)), static_cast<int>(pxGetTableInfo(3, table)));
    }
    return 0;
}

int RunCell(const Arguments& arguments) {
    int32_t coordinates[3];
    if (arguments.size() != 4) {
        return UsageError("cell takes a page file, a table, a row and a column");
    }
    for (int i = 0; i < 3; ++i) {
        if (!ParseInt32(arguments[i + 1], coordinates[i])) {
            return UsageError("not a 32-bit integer: " + arguments[i + 1]);
        }
    }
    pxLoadAndParse(arguments[0].c_str());
    const PxText cell(pxReadCell(coordinates[0], coordinates[1], coordinates[2]));
    WriteBytes(cell.bytes());
    return 0;
}
