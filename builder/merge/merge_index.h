// The index half of a merge, on whole index files held in memory.
//
// Index lines end with CR LF and hold TAB-separated fields; field 4 is the
// record number, field 5 the record's 1-based offset in the data file. Text
// after the last CR LF of a file is not a line and is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends the lines of the new base's index to `merged` unchanged and
// returns how many there were.
uint64_t AppendNewIndexLines(std::string_view newIndex, std::string& merged);

// Appends the lines of the old base's index to `merged`, numbering them on
// from `firstRecordNumber` and moving every offset `shift` bytes on, all
// other bytes kept. False, with `merged` partly written, when a line has
// fewer than five fields, a field 5 that is not decimal digits, or an
// offset beyond 64 bits: there is no record position to move.
bool AppendOldIndexLines(std::string_view oldIndex, uint64_t firstRecordNumber, uint64_t shift,
                         std::string& merged);
