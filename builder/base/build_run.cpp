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

namespace {

// The two open base files and how far they agree: after every complete
// record both end exactly behind it, so a failed write can be undone by
// cutting both back.
class BaseWriter {
  public:
    BaseWriter(std::unique_ptr<DiskFile> data, std::unique_ptr<DiskFile> index)
        : data_(std::move(data)), index_(std::move(index)) {}

    int64_t recordsWritten() const { return recordsWritten_; }

    // Writes one record and its index line; on failure both files are cut
    // back to the last complete record and false is returned.
    bool Append(const PageRecord& record) {
        const int64_t length = static_cast<int64_t>(record.text.size());
        const std::string indexLine =
            IndexLine(record.indexPrefix, recordsWritten_, dataSize_ + 1, length);
        if (!data_ || !index_ || !data_->Write(record.text.data(), record.text.size()) ||
            !index_->Write(indexLine.data(), indexLine.size())) {
            CutBack();
            return false;
        }
        ++recordsWritten_;
        dataSize_ += length;
        indexSize_ += static_cast<int64_t>(indexLine.size());
        return true;
    }

  private:
    void CutBack() {
        if (data_) {
            data_->Truncate(static_cast<uint64_t>(dataSize_));
        }
        if (index_) {
            index_->Truncate(static_cast<uint64_t>(indexSize_));
        }
    }

    std::unique_ptr<DiskFile> data_;
    std::unique_ptr<DiskFile> index_;
    int64_t recordsWritten_ = 0;
    int64_t dataSize_ = 0;
    int64_t indexSize_ = 0;
};

PxText ReadPageCell(PageCell cell) {
    return PxText(pxReadCell(cell.table, cell.row, cell.column));
}

// Removes an older base file and opens a new, empty one. Truncating on open
// also empties a file that could not be deleted, so no bytes of an older
// base stay behind the new records.
std::unique_ptr<DiskFile> CreateBaseFile(FileSystem& files, const std::string& path) {
    files.Delete(path);
    return files.Open(path, OpenMode::CreateTruncate, Sharing::Exclusive);
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

    std::unique_ptr<DiskFile> data = CreateBaseFile(files, baseName + ".DAT");
    std::unique_ptr<DiskFile> index = CreateBaseFile(files, baseName + ".IDX");
    BaseWriter writer(std::move(data), std::move(index));

    int pagesUnread = 0;
    for (int page = 0; page < pageCount; ++page) {
        PageRecord record;
        const PageFate fate = ReadPage(files, folder, pages[page], settings, record);
        if (fate == PageFate::Written && !writer.Append(record)) {
            return {Outcome::BaseWriteFailed, writer.recordsWritten()};
        }
        pagesUnread += fate == PageFate::Unread ? 1 : 0;
        control.PageDone(pages[page].name, fate,
                         fate == PageFate::Written ? writer.recordsWritten() - 1 : -1);
        control.SetProgress(page);
        if (control.StopRequested()) {
            return {Outcome::BuildStopped, writer.recordsWritten()};
        }
        control.PumpOneMessage();
    }
    if (pagesUnread > 0) {
        return {Outcome::PagesUnread, writer.recordsWritten()};
    }
    return {writer.recordsWritten() > 0 ? Outcome::BaseBuilt : Outcome::NothingToWrite,
            writer.recordsWritten()};
}
