// Looks a forum base over as a reader uses it: every index line must find,
// by its offset and length, exactly one record of FORUMn.DAT whose topic,
// name and date lines match its first three fields, and the records must
// cover the .DAT without gap or overlap (CR LF joints of a merge aside).
//
// Both files are only read, each opened shared and only for as long as it
// is read, so a reader or another tool using the base is not held up.
#pragma once

#include "builder/files/file_system.h"

#include <cstdint>
#include <string>
#include <vector>

// One thing a reader of the base would trip over.
struct BaseFault {
    int64_t line;   // index line, from 1; 0 for text of the .DAT no line names
    int64_t offset; // 1-based position in the .DAT; 0 when there is none
    std::string text;
};

enum class CheckOutcome {
    Checked,      // the faults (none for a sound base) are listed
    DataMissing,  // no .DAT under the path
    IndexMissing, // no index beside it
    NotABasePath, // the path does not end in a dot and three characters, or names the index
    ReadFailed,   // a file is there but could not be read
};

struct BaseCheck {
    CheckOutcome outcome = CheckOutcome::Checked;
    int64_t records = 0;    // records the .DAT holds
    int64_t indexLines = 0; // CR LF-ended lines of the index
    std::vector<BaseFault> faults;
};

// Checks the base whose .DAT is `dataPath`. Faults of an index line come in
// line order, then text no line covers in file order.
BaseCheck CheckBase(FileSystem& files, const std::string& dataPath);

// "line 4, offset 1701: <text>", with "-" for a missing line or offset.
std::string FaultLine(const BaseFault& fault);
