#include "builder/base/build_run.h"

#include "builder/base/forum_site.h"
#include "builder/base/message_record.h"
#include "builder/base/post_dates.h"
#include "common/blanks.h"
#include "parser/parvex.h"
#include "parser/px_string.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// The names a build writes in its folder. The new base is written into two
// work files of its own (apart from the merge's), and while they are put in
// place the old index waits under a third name.
struct BaseNames {
    std::string data;       // FORUMn.DAT
    std::string index;      // FORUMn.IDX
    std::string dataWork;   // FORUMn.nwD
    std::string indexWork;  // FORUMn.nwI
    std::string indexAside; // FORUMn.owI
};

BaseNames NamesOfBase(const std::string& baseName) {
    return {baseName + ".DAT", baseName + ".IDX", baseName + ".nwD", baseName + ".nwI",
            baseName + ".owI"};
}

// What a build that was killed left: its work files and an old index it had
// set aside. Removed before this build writes, the .DAT and the .IDX
// untouched, so a base the killed build left half in place stays a .DAT
// without an index, which the merge refuses, until this build puts its pair
// there.
void RemoveLeftovers(FileSystem& files, const BaseNames& names) {
    files.Delete(names.dataWork);
    files.Delete(names.indexWork);
    files.Delete(names.indexAside);
}

// Writes through a buffer: records of a few kilobytes and index lines of a
// few dozen bytes would otherwise cost a system call each.
class BufferedFile {
  public:
    explicit BufferedFile(std::unique_ptr<DiskFile> file) : file_(std::move(file)) {
        buffer_.reserve(kBufferSize);
    }

    bool Append(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kBufferSize) {
            if (!Drain()) {
                return false;
            }
            // A record as large as the buffer goes out in one write.
            if (bytes.size() >= kBufferSize) {
                return file_->Write(bytes.data(), bytes.size());
            }
        }
        buffer_.append(bytes);
        return true;
    }

    // Writes out what is buffered and pushes the file to the disk, so that
    // it is complete before its name replaces a base file's.
    bool Finish() { return Drain() && file_->Flush(); }

  private:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    bool Drain() {
        const bool written = buffer_.empty() || file_->Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return written;
    }

    std::unique_ptr<DiskFile> file_;
    std::string buffer_;
};

// The two work files as one base: every record gets its index line. What a
// failed write leaves in them does not matter, since they are put in place
// only when every write and the flushes succeeded.
class BaseWriter {
  public:
    // A work file is always a new file: a link planted under its name is
    // never written through.
    BaseWriter(FileSystem& files, const BaseNames& names) {
        std::unique_ptr<DiskFile> data =
            files.Open(names.dataWork, OpenMode::CreateNew, Sharing::Exclusive);
        std::unique_ptr<DiskFile> index =
            data ? files.Open(names.indexWork, OpenMode::CreateNew, Sharing::Exclusive) : nullptr;
        if (data && index) {
            data_.emplace(std::move(data));
            index_.emplace(std::move(index));
        }
    }

    bool opened() const { return data_.has_value(); }
    int64_t recordsWritten() const { return recordsWritten_; }

    // False when a write failed; the files are closed then.
    bool Append(const PageRecord& record) {
        const int64_t length = static_cast<int64_t>(record.text.size());
        const std::string indexLine =
            IndexLine(record.indexPrefix, recordsWritten_, dataSize_ + 1, length);
        if (!data_->Append(record.text) || !index_->Append(indexLine)) {
            Close();
            return false;
        }
        ++recordsWritten_;
        dataSize_ += length;
        return true;
    }

    // Completes both files and closes them (closed also when it fails), as
    // renaming them on Windows needs.
    bool Finish() {
        const bool finished = opened() && data_->Finish() && index_->Finish();
        Close();
        return finished;
    }

    void Close() {
        data_.reset();
        index_.reset();
    }

  private:
    std::optional<BufferedFile> data_;
    std::optional<BufferedFile> index_;
    int64_t recordsWritten_ = 0;
    int64_t dataSize_ = 0;
};

// Puts the complete work files in place of the base. The old index leaves
// first and the new one comes last, so at every moment the folder holds the
// previous pair, a .DAT without an .IDX (which the merge refuses), or the new
// pair. False when the new pair is not in place; the previous pair then stays
// as it was, unless its .DAT was already replaced.
bool PutBaseInPlace(FileSystem& files, const BaseNames& names) {
    const bool indexSetAside = files.Rename(names.index, names.indexAside, RenameMode::Replace);
    if (!indexSetAside && files.Identity(names.index)) {
        return false;
    }
    // Fails when another program holds the .DAT open, as the reader may.
    if (!files.Rename(names.dataWork, names.data, RenameMode::Replace)) {
        if (indexSetAside) {
            files.Rename(names.indexAside, names.index, RenameMode::KeepExisting);
        }
        return false;
    }
    // The new .DAT is in place and the old index no longer describes it: a
    // rename refused for a passing reason (a scanner that has just opened
    // the work file) is tried once more rather than leave the .DAT alone.
    const bool indexInPlace = files.Rename(names.indexWork, names.index, RenameMode::Replace) ||
                              files.Rename(names.indexWork, names.index, RenameMode::Replace);
    if (indexSetAside) {
        files.Delete(names.indexAside);
    }
    return indexInPlace;
}

void DeleteWorkFiles(FileSystem& files, const BaseNames& names) {
    files.Delete(names.dataWork);
    files.Delete(names.indexWork);
}

// The run's end with its records: the base in place and `outcome`, or the
// work files gone and a write failure.
BuildResult EndWithBase(FileSystem& files, const BaseNames& names, BaseWriter& writer,
                        Outcome outcome) {
    if (writer.Finish() && PutBaseInPlace(files, names)) {
        return {outcome, writer.recordsWritten()};
    }
    DeleteWorkFiles(files, names);
    return {Outcome::BaseWriteFailed, 0};
}

PxText ReadPageCell(PageCell cell) {
    return PxText(pxReadCell(cell.table, cell.row, cell.column));
}

// True when the file at `path` opens and its first byte (if any) can be
// read.
bool CanBeRead(FileSystem& files, const std::string& path) {
    const std::unique_ptr<DiskFile> file = files.Open(path, OpenMode::Read, Sharing::Shared);
    char firstByte;
    return file && file->Read(&firstByte, 1) >= 0;
}

// The parser cannot tell an unreadable page from one without tables: only
// for a page it found no table in does the run ask the file system, so that
// a readable page costs no second opening.
PageFate ReadPageAt(FileSystem& files, const std::string& path, const BuildSettings& settings,
                    PageRecord& record) {
    const PageFate fate = BuildRecord(path, settings, record);
    if (fate == PageFate::NoTables && !CanBeRead(files, path)) {
        return PageFate::Unread;
    }
    return fate;
}

PageFate ReadPage(FileSystem& files, const std::string& folder, const ListedFile& page,
                  const BuildSettings& settings, PageRecord& record) {
    if (!page.path.empty()) {
        return ReadPageAt(files, page.path, settings, record);
    }
    const std::string copy = files.CopyUnderPlainName(folder, page);
    if (copy.empty()) {
        return PageFate::Unread;
    }
    const PageFate fate = ReadPageAt(files, copy, settings, record);
    files.Delete(copy);
    return fate;
}

} // namespace

std::vector<ListedFile> ListPages(FileSystem& files, const std::string& pagesFolder) {
    return files.ListFiles(pagesFolder, "*.html");
}

void SortPagesDescending(std::vector<ListedFile>& pages) {
    // std::string compares as unsigned bytes, a prefix before the longer name.
    std::sort(pages.begin(), pages.end(), [](const ListedFile& left, const ListedFile& right) {
        if (left.nameOutsideCodePage != right.nameOutsideCodePage) {
            return right.nameOutsideCodePage;
        }
        return left.name > right.name;
    });
}

PageFate BuildRecord(const std::string& pagePath, const BuildSettings& settings,
                     PageRecord& pageRecord) {
    if (pxLoadAndParse(pagePath.c_str()) == 0) {
        return PageFate::NoTables;
    }
    // Cell texts are read where the parser's strings hold them.
    const PxText link(GetLink());
    if (!IsForumThreadLink(link.bytes())) {
        return PageFate::NotAThread;
    }
    std::string record;
    AppendHeaderLine(record, kMessageLabel, StripBlanks(link.bytes()));

    // A page without a section number passes the forum filter.
    const std::optional<int> pageSection =
        SectionIndexOfForumCell(ReadPageCell(kForumCell).bytes());
    if (pageSection) {
        if (settings.forumFilter && *pageSection != settings.sectionIndex) {
            return PageFate::OtherForum;
        }
        AppendHeaderLine(record, kForumLabel, SectionTitle(*pageSection));
    } else {
        record += '\n';
    }

    const std::string topic = TopicOfCell(ReadPageCell(kTopicCell).bytes());
    const std::string name = NameOfAuthorCell(ReadPageCell(kFirstAuthorCell).bytes());
    const PxText firstText = ReadPageCell(kFirstTextCell);
    const PostText firstPost = SplitPostText(firstText.bytes());
    const std::string_view dateText = FirstPostDateText(firstPost.beforeLink);
    if (settings.dateFilter && CheckPostDate(dateText, settings.startDateKey) == 0) {
        return PageFate::TooOld;
    }
    AppendHeaderLine(record, kTopicLabel, topic);
    AppendHeaderLine(record, kNameLabel, name);
    AppendHeaderLine(record, kDateLabel, dateText);
    record += firstPost.body;
    record += "\n\n";

    const int32_t rows = pxGetTableInfo(1, kPostTable);
    for (int32_t row = kFirstReplyRow; row <= rows; ++row) {
        const PxText author = ReadPageCell({kPostTable, row, kAuthorColumn});
        const PxText text = ReadPageCell({kPostTable, row, kTextColumn});
        AppendFollowUp(record, author.bytes(), text.bytes());
    }
    record += "\n\n";
    pageRecord =
        PageRecord{std::move(record), IndexPrefix(topic, IndexAuthorOfName(name), dateText)};
    return PageFate::Written;
}

BuildResult BuildBase(FileSystem& files, const BuildSettings& settings, BuildControl& control) {
    control.ClearStopRequest();
    if (settings.sectionIndex < 0 || settings.sectionIndex >= kSectionCount) {
        return {Outcome::NoForumSelected, 0};
    }
    // Without a folder there is nothing to read, and no place to write.
    if (settings.pagesFolder.empty()) {
        return {Outcome::NothingToWrite, 0};
    }
    const std::string folder = FolderWithSeparator(settings.pagesFolder);
    const std::string baseName = folder + "FORUM" + std::to_string(settings.sectionIndex + 1);

    // Held for the whole run: a second build or a merge in this folder
    // refuses rather than writing beside this one.
    const FolderLockAttempt lock = files.LockFolder(folder);
    if (!lock.lock) {
        return {lock.busy ? Outcome::FolderBusy : Outcome::BaseWriteFailed, 0};
    }

    std::vector<ListedFile> pages = ListPages(files, folder);
    SortPagesDescending(pages);
    const int pageCount = static_cast<int>(pages.size());
    control.SetProgress(0);
    control.SetProgressRange(pageCount);

    const BaseNames names = NamesOfBase(baseName);
    RemoveLeftovers(files, names);
    BaseWriter writer(files, names);
    if (!writer.opened()) {
        DeleteWorkFiles(files, names);
        // A folder that lists no page and takes no file, such as one that
        // does not exist, gave nothing to write; the base stays as it was.
        return {pageCount == 0 ? Outcome::NothingToWrite : Outcome::BaseWriteFailed, 0};
    }

    int pagesUnread = 0;
    for (int page = 0; page < pageCount; ++page) {
        PageRecord record;
        const PageFate fate = ReadPage(files, folder, pages[page], settings, record);
        if (fate == PageFate::Written && !writer.Append(record)) {
            DeleteWorkFiles(files, names);
            return {Outcome::BaseWriteFailed, 0};
        }
        pagesUnread += fate == PageFate::Unread ? 1 : 0;
        control.PageDone(pages[page].name, fate,
                         fate == PageFate::Written ? writer.recordsWritten() - 1 : -1);
        control.SetProgress(page);
        if (control.StopRequested()) {
            // A stop keeps what was built.
            return EndWithBase(files, names, writer, Outcome::BuildStopped);
        }
        control.PumpOneMessage();
    }
    if (pagesUnread > 0) {
        return EndWithBase(files, names, writer, Outcome::PagesUnread);
    }
    return EndWithBase(files, names, writer,
                       writer.recordsWritten() > 0 ? Outcome::BaseBuilt : Outcome::NothingToWrite);
}
