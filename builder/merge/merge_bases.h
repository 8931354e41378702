// Merging forum bases: the new base's records are put in front of the old
// base's under the old base's names, its index is renumbered to match, and
// the previous old files are kept as backups (.DA_ and .ID_).
//
// Both work files are written and flushed in full before anything is
// renamed, and a failure on the way puts the old base back, so the old .DAT
// and .IDX always belong together and no work file (.tmD, .tmI) is left.
#pragma once

#include "builder/files/file_system.h"

#include <string>

// Merges the base whose .DAT is `newBasePath` into the one whose .DAT is
// `oldBasePath`. Returns kMergeFinished, kFileMissing when one of the two
// .DAT files or their indexes is missing (nothing touched), or kMergeFailed
// when the old base could not be replaced (it is as it was) or its index has
// a line without a record number and decimal offset (nothing touched).
int MergeBases(FileSystem& files, const std::string& newBasePath, const std::string& oldBasePath);

// True when a directory search finds `path` as a file or a folder; hidden
// and system files do not count.
bool FileExists(FileSystem& files, const std::string& path);
