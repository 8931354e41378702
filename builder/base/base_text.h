// A forum base read back from its text: where the records of a FORUMn.DAT
// begin and end, and what their header lines say. What `check` and
// `reindex` of zeltran-cli stand on.
//
// A record begins with "'MESSAGE " at the start of a line (the parser turns
// every "'MESSAGE" of a page into "'Message", so page text never begins
// one) and runs up to the next record or the end of the file. A merge puts
// CR LF behind the text it joins, so CR LF pairs between a record's final
// LF LF and the next record are joints, not part of either record.
#pragma once

#include "builder/files/file_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One record as the text shows it; positions are 0-based.
struct TextRecord {
    int64_t offset;    // its "'MESSAGE "
    int64_t length;    // up to the joint behind it, the next record or the end
    bool endsWithLfLf; // its last two bytes are LF LF
    bool operator==(const TextRecord&) const = default;
};

// What a scan of a whole .DAT found besides the records.
struct DataTextSummary {
    int64_t size = 0;
    int64_t firstRecord = 0;     // where the first record begins; the size when none
    int64_t leadingJointEnd = 0; // end of the CR LF pairs the file begins with
    bool operator==(const DataTextSummary&) const = default;
};

// The two bytes in front of a position of the file, asked for before the
// scan and filled in by it: how a check learns whether an index line's
// range ends with LF LF without going back in the file.
struct EndProbe {
    int64_t position;          // 0-based end of a range (exclusive)
    bool endsWithLfLf = false; // bytes position-2 and position-1 are LF LF
};

// Called for each record, in file order, with its first bytes: at least its
// header lines when it has them (they are cut off after kHeaderLimit bytes).
// Returning false ends the scan.
using RecordVisitor = std::function<bool(const TextRecord& record, std::string_view start)>;

constexpr std::size_t kHeaderLimit = 64 * 1024;

// Read in blocks that stay in the processor's cache while they are searched.
constexpr std::size_t kTextBlockSize = 256 * 1024;

// Reads `data` once from its current position (the start) to its end, in
// blocks of `blockSize` bytes (tests make them small, so that records,
// joints and probes fall across block ends). `probes` must be sorted by
// position. False when a read fails or the visitor ends the scan.
bool ScanDataText(DiskFile& data, std::vector<EndProbe>& probes, const RecordVisitor& visit,
                  DataTextSummary& summary, std::size_t blockSize = kTextBlockSize);

// The values of a record's topic, name and date lines. A value ends where
// the next header line begins, so a line break inside it stays part of it;
// the date line is followed by the first post's body, which begins with LF.
struct RecordHeader {
    std::string_view topic;
    std::string_view name;
    std::string_view date;
};

// Nothing when the record's first bytes lack one of the three lines.
std::optional<RecordHeader> ReadRecordHeader(std::string_view recordStart);

// The index's first three fields for the record, each ended by TAB, as the
// build writes them.
std::string IndexPrefixOfHeader(const RecordHeader& header);

// The index name of the .DAT at `dataPath`: its last three characters
// replaced by "IDX", as the merge derives it. Nothing when the path does
// not end in a dot and three characters, or already names the index.
std::optional<std::string> IndexPathOfData(const std::string& dataPath);
