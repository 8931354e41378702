#include "builder/merge/merge_bases.h"

#include "builder/merge/merge_index.h"
#include "common/ascii_case.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace {

struct MergeNames {
    std::string newData;
    std::string newIndex;
    std::string oldData;
    std::string oldIndex;
    std::string dataWork;
    std::string dataBackup;
    std::string indexWork;
    std::string indexBackup;
};

MergeNames DeriveNames(const std::string& newBasePath, const std::string& oldBasePath) {
    return {newBasePath,
            WithExtensionReplaced(newBasePath, "IDX"),
            oldBasePath,
            WithExtensionReplaced(oldBasePath, "IDX"),
            WithExtensionReplaced(oldBasePath, "tmD"),
            WithExtensionReplaced(oldBasePath, "DA_"),
            WithExtensionReplaced(oldBasePath, "tmI"),
            WithExtensionReplaced(oldBasePath, "ID_")};
}

// The four inputs first, then the names the merge writes, replaces or
// deletes.
std::vector<const std::string*> AllNames(const MergeNames& names) {
    return {&names.newData,  &names.newIndex,   &names.oldData,   &names.oldIndex,
            &names.dataWork, &names.dataBackup, &names.indexWork, &names.indexBackup};
}

// The eight names must be eight files: an old path ending in ".DA_" would
// make the old base its own backup, and Windows ignores letter case.
bool NamesAreDistinct(const MergeNames& names) {
    const std::vector<const std::string*> all = AllNames(names);
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (EqualIgnoringAsciiCase(*all[i], *all[j])) {
                return false;
            }
        }
    }
    return true;
}

// No input may lead to the same file as another name of the merge, through
// links or another spelling of the folder: a base merged with itself, or
// with its own backup, would be read while it is replaced.
bool InputsAreDistinctFiles(FileSystem& files, const MergeNames& names) {
    const std::vector<const std::string*> all = AllNames(names);
    std::vector<std::optional<FileIdentity>> identities;
    for (const std::string* name : all) {
        identities.push_back(files.Identity(*name));
    }
    constexpr std::size_t kInputs = 4; // the new and the old .DAT and .IDX
    for (std::size_t input = 0; input < kInputs; ++input) {
        for (std::size_t other = input + 1; other < all.size(); ++other) {
            if (identities[input] && identities[input] == identities[other]) {
                return false;
            }
        }
    }
    return true;
}

// An index up to its last line end: the lines a merge takes from it.
std::string_view CompleteLines(std::string_view index) {
    const std::size_t lastLineEnd = index.rfind("\r\n");
    return lastLineEnd == std::string_view::npos ? std::string_view()
                                                 : index.substr(0, lastLineEnd + 2);
}

// True when `oldData` begins with all `newSize` bytes of `newData`, read
// from the start of both. Bases run to a gigabyte, so both are read in
// chunks and the old one only as far as the new one's length. A read that
// fails says no: the merge then finds the fault itself when it copies.
bool DataBeginsWith(DiskFile& oldData, DiskFile& newData, int64_t newSize) {
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<char> oldChunk(kChunk);
    std::vector<char> newChunk(kChunk);
    for (uint64_t left = static_cast<uint64_t>(newSize); left > 0;) {
        const std::size_t size = static_cast<std::size_t>(std::min<uint64_t>(left, kChunk));
        if (!ReadExactly(newData, newChunk.data(), size) ||
            !ReadExactly(oldData, oldChunk.data(), size) ||
            std::memcmp(newChunk.data(), oldChunk.data(), size) != 0) {
            return false;
        }
        left -= size;
    }
    return true;
}

// The old index begins with every line of the new one, as after a merge
// of this new base; a new base without a line counts for nothing.
bool OldIndexBeginsWithNewLines(std::string_view oldIndex, std::string_view newIndex) {
    const std::string_view newLines = CompleteLines(newIndex);
    return !newLines.empty() && oldIndex.substr(0, newLines.size()) == newLines;
}

// The new text, the old text and a CR LF.
bool WriteDataWorkFile(FileSystem& files, const MergeNames& names,
                       std::unique_ptr<DiskFile> newData, int64_t newSize) {
    const std::unique_ptr<DiskFile> work = CreateFreshFile(files, names.dataWork);
    // The offsets move by the size noted before; a copy of another length
    // would leave them pointing beside the records.
    if (!work || newData->CopyRestTo(*work) != newSize) {
        return false;
    }
    newData.reset();
    const std::unique_ptr<DiskFile> oldData =
        files.Open(names.oldData, OpenMode::Read, Sharing::Exclusive);
    return oldData && oldData->CopyRestTo(*work) >= 0 && work->Write("\r\n", 2) && work->Flush();
}

bool WriteIndexWorkFile(FileSystem& files, const MergeNames& names, const std::string& index) {
    const std::unique_ptr<DiskFile> work = CreateFreshFile(files, names.indexWork);
    return work && work->Write(index.data(), index.size()) && work->Flush();
}

void DeleteWorkFiles(FileSystem& files, const MergeNames& names) {
    files.Delete(names.dataWork);
    files.Delete(names.indexWork);
}

// The old base goes back under its names after an interrupted or failed
// replacement. The replacement renames in a fixed order: the old .DAT to
// its backup, the old .IDX to its backup, the data work file to the old
// .DAT, the index work file to the old .IDX. So which old name is missing
// tells how far it got: without the .IDX both old files are in the backups
// and the .DAT name holds nothing or the merged text; without the .DAT only
// the old text is in its backup. Each step leaves a state this reads right
// again, so an interrupted putting back is taken up the same way. False,
// with nothing touched, when the backups needed are not there.
bool PutOldBaseBack(FileSystem& files, const MergeNames& names) {
    const bool dataThere = files.Exists(names.oldData);
    const bool dataBackupThere = files.Exists(names.dataBackup);
    if (!files.Exists(names.oldIndex)) {
        if (!files.Exists(names.indexBackup) || (!dataThere && !dataBackupThere)) {
            return false;
        }
        return (!dataBackupThere ||
                files.Rename(names.dataBackup, names.oldData, RenameMode::Replace)) &&
               files.Rename(names.indexBackup, names.oldIndex, RenameMode::KeepExisting);
    }
    if (!dataThere) {
        return dataBackupThere &&
               files.Rename(names.dataBackup, names.oldData, RenameMode::KeepExisting);
    }
    return true;
}

// A work file beside a base whose .DAT or .IDX is missing: a merge stopped
// while it replaced the base. Its old files go back first, so that the merge
// asked for now is the only one. (Work files beside a whole base are only
// stale, and are replaced when written.) False, with nothing touched, when
// the files left do not allow that.
bool PutBackInterruptedMerge(FileSystem& files, const MergeNames& names) {
    const bool workFileThere = files.Exists(names.dataWork) || files.Exists(names.indexWork);
    if (!workFileThere || (files.Exists(names.oldData) && files.Exists(names.oldIndex))) {
        return true;
    }
    if (!PutOldBaseBack(files, names)) {
        return false;
    }
    DeleteWorkFiles(files, names);
    return true;
}

// Puts both work files in the old base's place, the old files replacing
// the backups. When a step fails the old base goes back under its names;
// should even that fail, the work files stay as the mark that lets the next
// merge finish putting it back.
bool ReplaceOldBase(FileSystem& files, const MergeNames& names) {
    if (files.Rename(names.oldData, names.dataBackup, RenameMode::Replace) &&
        files.Rename(names.oldIndex, names.indexBackup, RenameMode::Replace) &&
        files.Rename(names.dataWork, names.oldData, RenameMode::KeepExisting) &&
        files.Rename(names.indexWork, names.oldIndex, RenameMode::KeepExisting)) {
        return true;
    }
    if (PutOldBaseBack(files, names)) {
        DeleteWorkFiles(files, names);
    }
    return false;
}

} // namespace

bool FileExists(FileSystem& files, const std::string& path) {
    return files.Exists(path);
}

Outcome MergeBases(FileSystem& files, const std::string& newBasePath,
                   const std::string& oldBasePath) {
    const MergeNames names = DeriveNames(newBasePath, oldBasePath);
    if (!FileExists(files, names.newData) || !FileExists(files, names.newIndex)) {
        return Outcome::FileMissing;
    }
    if (!HasThreeCharacterExtension(newBasePath) || !HasThreeCharacterExtension(oldBasePath) ||
        !NamesAreDistinct(names)) {
        return Outcome::MergeFailed;
    }
    // Held to the end: a second merge or a build in this folder refuses
    // rather than reading or writing the base while it is replaced.
    const FolderLockAttempt lock = files.LockFolder(FolderOfPath(oldBasePath));
    if (!lock.lock) {
        return lock.busy ? Outcome::FolderBusy : Outcome::MergeFailed;
    }
    if (!InputsAreDistinctFiles(files, names) || !PutBackInterruptedMerge(files, names)) {
        return Outcome::MergeFailed;
    }
    if (!FileExists(files, names.oldData) || !FileExists(files, names.oldIndex)) {
        return Outcome::FileMissing;
    }

    // Everything that can be checked is checked before any file is written.
    std::string newIndex;
    std::string oldIndex;
    // Each index is held whole while its lines are rewritten.
    if (!ReadWholeFile(files, names.newIndex, Sharing::Exclusive, newIndex) ||
        !ReadWholeFile(files, names.oldIndex, Sharing::Exclusive, oldIndex)) {
        return Outcome::MergeFailed;
    }
    std::unique_ptr<DiskFile> newData =
        files.Open(names.newData, OpenMode::Read, Sharing::Exclusive);
    const int64_t newSize = newData ? newData->Size() : -1;
    if (newSize < 0) {
        return Outcome::MergeFailed;
    }
    std::string mergedIndex;
    mergedIndex.reserve(newIndex.size() + oldIndex.size() + oldIndex.size() / 8);
    const uint64_t newLines = AppendNewIndexLines(newIndex, mergedIndex);
    if (!AppendOldIndexLines(oldIndex, newLines, static_cast<uint64_t>(newSize), mergedIndex)) {
        return Outcome::MergeFailed;
    }
    // Pressed twice, or a script run twice: the same records must not go in
    // front again, and the backups must keep the base from before the first
    // merge.
    if (OldIndexBeginsWithNewLines(oldIndex, newIndex)) {
        const std::unique_ptr<DiskFile> oldData =
            files.Open(names.oldData, OpenMode::Read, Sharing::Exclusive);
        if (oldData && DataBeginsWith(*oldData, *newData, newSize)) {
            return Outcome::AlreadyMerged;
        }
        // The comparison has read into the new .DAT; its copy starts afresh.
        newData.reset();
        newData = files.Open(names.newData, OpenMode::Read, Sharing::Exclusive);
        if (!newData) {
            return Outcome::MergeFailed;
        }
    }

    if (!WriteDataWorkFile(files, names, std::move(newData), newSize) ||
        !WriteIndexWorkFile(files, names, mergedIndex)) {
        DeleteWorkFiles(files, names);
        return Outcome::MergeFailed;
    }
    return ReplaceOldBase(files, names) ? Outcome::MergeFinished : Outcome::MergeFailed;
}
