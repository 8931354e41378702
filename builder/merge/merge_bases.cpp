#include "builder/merge/merge_bases.h"

#include "builder/merge/merge_index.h"
#include "builder/outcomes/outcomes.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// The copy needs only this much memory, whatever the size of the bases.
constexpr std::size_t kCopyBlockSize = 32768;

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

// Every other name comes from a base path by replacing its last three
// characters, whatever they are.
std::string WithSuffix(const std::string& path, const char* suffix) {
    return path.substr(0, path.size() - std::min<std::size_t>(3, path.size())) + suffix;
}

MergeNames DeriveNames(const std::string& newBasePath, const std::string& oldBasePath) {
    return {newBasePath,
            WithSuffix(newBasePath, "IDX"),
            oldBasePath,
            WithSuffix(oldBasePath, "IDX"),
            WithSuffix(oldBasePath, "tmD"),
            WithSuffix(oldBasePath, "DA_"),
            WithSuffix(oldBasePath, "tmI"),
            WithSuffix(oldBasePath, "ID_")};
}

bool ReadWholeFile(FileSystem& files, const std::string& path, std::string& bytes) {
    const std::unique_ptr<OpenFile> file = files.Open(path, OpenMode::Read, Sharing::Exclusive);
    if (!file) {
        return false;
    }
    std::vector<char> buffer(kCopyBlockSize);
    for (;;) {
        const int64_t count = file->Read(buffer.data(), buffer.size());
        if (count <= 0) {
            return count == 0;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

// Appends the rest of `from` to `to`, adding the byte count to `copied`.
bool CopyRest(OpenFile& from, OpenFile& to, std::vector<char>& buffer, uint64_t& copied) {
    for (;;) {
        const int64_t count = from.Read(buffer.data(), buffer.size());
        if (count <= 0) {
            return count == 0;
        }
        if (!to.Write(buffer.data(), static_cast<std::size_t>(count))) {
            return false;
        }
        copied += static_cast<uint64_t>(count);
    }
}

// The new text, the old text and a CR LF, in a work file created empty so
// that a work file left by an interrupted merge adds no stale bytes.
bool WriteDataWorkFile(FileSystem& files, const MergeNames& names,
                       std::unique_ptr<OpenFile> newData, uint64_t newSize) {
    const std::unique_ptr<OpenFile> work =
        files.Open(names.dataWork, OpenMode::CreateTruncate, Sharing::Exclusive);
    if (!work) {
        return false;
    }
    std::vector<char> buffer(kCopyBlockSize);
    uint64_t copied = 0;
    // The offsets move by the size noted before; a copy of another length
    // would leave them pointing beside the records.
    if (!CopyRest(*newData, *work, buffer, copied) || copied != newSize) {
        return false;
    }
    newData.reset();
    const std::unique_ptr<OpenFile> oldData =
        files.Open(names.oldData, OpenMode::Read, Sharing::Exclusive);
    return oldData && CopyRest(*oldData, *work, buffer, copied) && work->Write("\r\n", 2) &&
           work->Flush();
}

bool WriteIndexWorkFile(FileSystem& files, const MergeNames& names, const std::string& index) {
    const std::unique_ptr<OpenFile> work =
        files.Open(names.indexWork, OpenMode::CreateTruncate, Sharing::Exclusive);
    return work && work->Write(index.data(), index.size()) && work->Flush();
}

// Puts both work files in the old base's place, the old files becoming the
// backups. When a step fails, the steps before it are undone, so the old
// names hold either both old files or both merged ones.
bool ReplaceOldBase(FileSystem& files, const MergeNames& names) {
    if (FileExists(files, names.dataBackup) && !files.Delete(names.dataBackup)) {
        return false;
    }
    if (FileExists(files, names.indexBackup) && !files.Delete(names.indexBackup)) {
        return false;
    }
    if (!files.Rename(names.oldData, names.dataBackup)) {
        return false;
    }
    if (!files.Rename(names.oldIndex, names.indexBackup)) {
        files.Rename(names.dataBackup, names.oldData);
        return false;
    }
    if (!files.Rename(names.dataWork, names.oldData)) {
        files.Rename(names.dataBackup, names.oldData);
        files.Rename(names.indexBackup, names.oldIndex);
        return false;
    }
    if (!files.Rename(names.indexWork, names.oldIndex)) {
        // The merged text is only a work file's content: it can go.
        files.Delete(names.oldData);
        files.Rename(names.dataBackup, names.oldData);
        files.Rename(names.indexBackup, names.oldIndex);
        return false;
    }
    return true;
}

} // namespace

bool FileExists(FileSystem& files, const std::string& path) {
    return files.Exists(path);
}

int MergeBases(FileSystem& files, const std::string& newBasePath, const std::string& oldBasePath) {
    const MergeNames names = DeriveNames(newBasePath, oldBasePath);
    for (const std::string* input :
         {&names.newData, &names.oldData, &names.newIndex, &names.oldIndex}) {
        if (!FileExists(files, *input)) {
            return kFileMissing;
        }
    }

    // Everything that can be checked is checked before any file is written.
    std::string newIndex;
    std::string oldIndex;
    if (!ReadWholeFile(files, names.newIndex, newIndex) ||
        !ReadWholeFile(files, names.oldIndex, oldIndex)) {
        return kMergeFailed;
    }
    std::unique_ptr<OpenFile> newData =
        files.Open(names.newData, OpenMode::Read, Sharing::Exclusive);
    const int64_t newSize = newData ? newData->Size() : -1;
    if (newSize < 0) {
        return kMergeFailed;
    }
    std::string mergedIndex;
    mergedIndex.reserve(newIndex.size() + oldIndex.size() + oldIndex.size() / 8);
    const uint64_t newLines = AppendNewIndexLines(newIndex, mergedIndex);
    if (!AppendOldIndexLines(oldIndex, newLines, static_cast<uint64_t>(newSize), mergedIndex)) {
        return kMergeFailed;
    }

    if (WriteDataWorkFile(files, names, std::move(newData), static_cast<uint64_t>(newSize)) &&
        WriteIndexWorkFile(files, names, mergedIndex) && ReplaceOldBase(files, names)) {
        return kMergeFinished;
    }
    files.Delete(names.dataWork);
    files.Delete(names.indexWork);
    return kMergeFailed;
}
