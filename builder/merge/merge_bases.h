// Merging forum bases: the new base's records are put in front of the old
// base's under the old base's names, its index is renumbered to match, and
// the old files replace the backups of the merge before (.DA_ and .ID_).
//
// Both work files are written and flushed in full before anything is
// renamed, and a failure on the way puts the old base back, so the old .DAT
// and .IDX always belong together and no work file (.tmD, .tmI) is left.
// Each rename reaches the disk before the next one is made; a merge stopped
// by a crash or a power cut leaves a work file beside a base that lacks its
// .DAT or .IDX, and the next merge into that base puts the old files back
// from the backups before it merges.
#pragma once

#include "builder/files/file_system.h"
#include "builder/outcomes/outcomes.h"

#include <string>

// Merges the base whose .DAT is `newBasePath` into the one whose .DAT is
// `oldBasePath`. Returns Outcome::MergeFinished; Outcome::FileMissing when
// one of the two .DAT files or their indexes is missing (nothing touched);
// Outcome::FolderBusy when another merge or a build works in the old base's
// folder (nothing touched); Outcome::AlreadyMerged when the new base has
// been merged into the old one before: the new index holds a line, the old
// index begins with the new one's lines and the old .DAT with the new .DAT's
// bytes (nothing touched, checked last before anything is written); or
// Outcome::MergeFailed with the old base as it was, when:
// - a path does not end in a dot and three characters, or two of the names
//   made from the paths are one name or lead to one file (nothing touched);
// - an interrupted merge left files that do not allow putting the old base
//   back (nothing touched);
// - the old index has a line without a record number and decimal offset
//   (nothing touched);
// - the old base could not be replaced.
Outcome MergeBases(FileSystem& files, const std::string& newBasePath,
                   const std::string& oldBasePath);

// True when a directory search finds `path` as a file or a folder; hidden
// and system files do not count.
bool FileExists(FileSystem& files, const std::string& path);
