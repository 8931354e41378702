#include "builder/base/reindex_base.h"

#include "builder/base/base_text.h"
#include "builder/base/message_record.h"
#include "common/ascii_case.h"

#include <memory>
#include <optional>
#include <vector>

namespace {

// A fresh file under `path` holding `bytes`, pushed to the disk.
bool WriteNewFile(FileSystem& files, const std::string& path, const std::string& bytes) {
    const std::unique_ptr<DiskFile> file = CreateFreshFile(files, path);
    if (file && file->Write(bytes.data(), bytes.size()) && file->Flush()) {
        return true;
    }
    files.Delete(path);
    return false;
}

// The index of the whole .DAT, or why the text does not allow one.
ReindexResult IndexOfText(DiskFile& data, std::string& index) {
    ReindexResult result{ReindexOutcome::Written};
    DataTextSummary summary;
    std::vector<EndProbe> noProbes;
    const RecordVisitor visit = [&](const TextRecord& record, std::string_view start) {
        if (result.records == 0 && record.offset != summary.leadingJointEnd) {
            result = {ReindexOutcome::TextNotARecord, 0, summary.leadingJointEnd + 1};
            return false;
        }
        if (!record.endsWithLfLf) {
            result = {ReindexOutcome::RecordUnended, 0, record.offset + record.length + 1,
                      record.offset + 1};
            return false;
        }
        const std::optional<RecordHeader> header = ReadRecordHeader(start);
        if (!header) {
            result = {ReindexOutcome::HeaderMissing, 0, record.offset + 1, record.offset + 1};
            return false;
        }
        index += IndexLine(IndexPrefixOfHeader(*header), result.records++, record.offset + 1,
                           record.length);
        return true;
    };
    if (!ScanDataText(data, noProbes, visit, summary)) {
        return result.outcome == ReindexOutcome::Written ? ReindexResult{ReindexOutcome::ReadFailed}
                                                         : result;
    }
    if (result.records == 0 && summary.size != summary.leadingJointEnd) {
        return {ReindexOutcome::TextNotARecord, 0, summary.leadingJointEnd + 1};
    }
    return result;
}

} // namespace

ReindexResult ReindexBase(FileSystem& files, const std::string& dataPath) {
    const std::optional<std::string> indexPath = IndexPathOfData(dataPath);
    const std::string workPath = WithExtensionReplaced(dataPath, kReindexWorkSuffix);
    const std::string backupPath = WithExtensionReplaced(dataPath, kReindexBackupSuffix);
    if (!indexPath || EqualIgnoringAsciiCase(dataPath, workPath) ||
        EqualIgnoringAsciiCase(dataPath, backupPath)) {
        return {ReindexOutcome::NotABasePath};
    }
    if (!files.Exists(dataPath)) {
        return {ReindexOutcome::DataMissing};
    }
    // Held to the end: a build or a merge in this folder would change the
    // base under the new index.
    const FolderLockAttempt lock = files.LockFolder(FolderOfPath(dataPath));
    if (!lock.lock) {
        return {lock.busy ? ReindexOutcome::FolderBusy : ReindexOutcome::WriteFailed};
    }
    const std::optional<FileIdentity> dataIdentity = files.Identity(dataPath);
    if (dataIdentity && dataIdentity == files.Identity(*indexPath)) {
        return {ReindexOutcome::NotABasePath};
    }

    // The .DAT stays open, and nobody else's to change, until its index is
    // in place.
    const std::unique_ptr<DiskFile> data = files.Open(dataPath, OpenMode::Read, Sharing::Exclusive);
    if (!data) {
        return {ReindexOutcome::ReadFailed};
    }
    std::string index;
    const ReindexResult result = IndexOfText(*data, index);
    if (result.outcome != ReindexOutcome::Written) {
        return result;
    }
    if (files.Exists(*indexPath)) {
        std::string oldIndex;
        if (!ReadWholeFile(files, *indexPath, Sharing::Exclusive, oldIndex)) {
            return {ReindexOutcome::ReadFailed};
        }
        if (!WriteNewFile(files, backupPath, oldIndex)) {
            return {ReindexOutcome::WriteFailed};
        }
    }
    if (!WriteNewFile(files, workPath, index) ||
        !files.Rename(workPath, *indexPath, RenameMode::Replace)) {
        files.Delete(workPath);
        return {ReindexOutcome::WriteFailed};
    }
    return result;
}
