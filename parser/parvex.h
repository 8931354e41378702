// The parvex page parser library as its callers see it: four calls that
// parse one saved thread page and read its tables and thread link back.
//
// On Windows these are the stdcall exports of parvex.dll, imported by plain
// name; every string result is an OLE byte string (SysAllocStringByteLen)
// that the caller releases with SysFreeString, and the empty string is a null
// pointer. Natively the same calls come from a static library with strings of
// the same layout (see px_string.h). Strings are bytes in the page's own code
// page; nothing is converted.
#pragma once

#include <cstdint>

#ifdef _WIN32
// WINAPI and BSTR spelled out, so that no caller needs a Windows header: a
// BSTR is an OLECHAR*, and an OLECHAR a wchar_t (checked where the strings
// are made).
#define PXAPI __stdcall
using PxString = wchar_t*;
#else
#define PXAPI
using PxString = char*;
#endif

extern "C" {

// Parses the page file at `path` (zero-terminated bytes) and returns the
// number of tables found; 0 means the page is unusable.
int32_t PXAPI pxLoadAndParse(const char* path);

// Text of one cell of the last parsed page, each line ended by CR LF.
// Table, row and column are clamped to the page's tables.
PxString PXAPI pxReadCell(int32_t table, int32_t row, int32_t column);

// what 0: table count (-1 without tables); 1 rows, 2 columns, 3 lines of
// the (clamped) table; any other selector 0.
int32_t PXAPI pxGetTableInfo(int32_t what, int32_t table);

// The thread link of the last parsed page.
PxString PXAPI GetLink();
}
