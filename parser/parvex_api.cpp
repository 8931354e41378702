// The four parser calls over the library's one parse state. Failures are
// values: no exception leaves the library (a failed allocation reads as an
// unusable page or an empty string).
#include "parser/parvex_api.h"

#include "parser/page_parser.h"
#include "parser/parvex.h"
#include "parser/px_string.h"

#include <new>

namespace {

ParseState& State() {
    static ParseState state;
    return state;
}

PxString Copy(const std::string& bytes) {
    try {
        return PxAllocString(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

void ReleaseParseState() {
    State() = ParseState{};
}

extern "C" {

int32_t PXAPI pxLoadAndParse(const char* path) {
    try {
        return LoadAndParse(State(), path == nullptr ? "" : path);
    } catch (const std::bad_alloc&) {
        ReleaseParseState();
        return 0;
    }
}

PxString PXAPI pxReadCell(int32_t table, int32_t row, int32_t column) {
    try {
        return Copy(ReadCell(State(), table, row, column));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int32_t PXAPI pxGetTableInfo(int32_t what, int32_t table) {
    return GetTableInfo(State(), what, table);
}

PxString PXAPI GetLink() {
    return Copy(State().threadLink);
}
}
