// Rebuilds a forum base's index from its .DAT alone: one line per record,
// numbered from 0, its offset and length as the text has them, its first
// three fields from the record's topic, name and date lines. For every base
// a build or a merge wrote this is the index they wrote, byte for byte.
//
// The old index is copied to FORUMn.IXB first (never to a name the merge
// uses for its backups, which must stay the pair that undoes that merge).
// The new one is written to the work file FORUMn.rxI, pushed to the disk
// and renamed over FORUMn.IDX in one step, so the base always has an index.
// Nothing is written until the whole .DAT has been read as records.
#pragma once

#include "builder/files/file_system.h"

#include <cstdint>
#include <string>

enum class ReindexOutcome {
    Written,        // the new index is in place
    DataMissing,    // no .DAT under the path
    NotABasePath,   // the path does not end in a dot and three characters, or names a file reindex
                    // writes
    FolderBusy,     // a build or a merge works in the folder; nothing done
    TextNotARecord, // `at`: text stands where a record must begin; nothing done
    RecordUnended,  // `at`: a record does not end with LF LF in front of it; nothing done
    HeaderMissing,  // `at`: a record lacks its topic, name or date line; nothing done
    ReadFailed,     // a file could not be read; nothing done
    WriteFailed,    // the index could not be replaced; the old one is in place
};

struct ReindexResult {
    ReindexOutcome outcome;
    int64_t records = 0; // index lines written
    int64_t at = 0;      // 1-based position in the .DAT the outcome is about
    int64_t record = 0;  // 1-based offset of the record it is about, if any
};

ReindexResult ReindexBase(FileSystem& files, const std::string& dataPath);

// The names beside the .DAT that reindex writes: the work file and the old
// index's copy.
constexpr const char* kReindexWorkSuffix = "rxI";
constexpr const char* kReindexBackupSuffix = "IXB";
