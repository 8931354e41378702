// The build run: turns the saved thread pages of one folder into the forum
// base FORUMn.DAT / FORUMn.IDX of one section, written into that folder.
#pragma once

#include "builder/files/file_system.h"
#include "builder/outcomes/outcomes.h"

#include <cstdint>
#include <string>
#include <vector>

// What a run is asked to do; the main window or the command line fills it.
struct BuildSettings {
    int sectionIndex = -1;    // 0-based; the forum number is sectionIndex + 1
    std::string pagesFolder;  // holds the *.html pages and receives the base
    std::string startDateKey; // "yyyymmdd", used when dateFilter is on
    bool dateFilter = false;  // keep threads whose first post is not older
    bool forumFilter = false; // keep pages that name no other section
};

// What became of one listed page.
enum class PageFate {
    Written,    // became the next record
    NoTables,   // read, but the parser found no table in it
    NotAThread, // no thread link, or one outside the forum's section listing
    OtherForum, // names another section while the forum filter is on
    TooOld,     // first post older than the start date, date filter on
    Unread,     // could not be opened or read
};

// What surrounds a run: progress, the caller's stop request and the pause in
// which the caller's window handles one message between two pages.
class BuildControl {
  public:
    virtual ~BuildControl() = default;
    // The run has `count` pages, numbered from 0.
    virtual void SetProgressRange(int count) = 0;
    virtual void SetProgress(int index) = 0;
    // A stop asked for before the run started is forgotten: the run clears
    // the request first.
    virtual void ClearStopRequest() = 0;
    virtual bool StopRequested() = 0;
    virtual void PumpOneMessage() = 0;
    // Called once for each page taken, in the order of the run, with the
    // page's name as the listing gives it (ListedFile::name) and its record
    // number when it was written. Only a caller that tells the user about
    // every page needs it.
    virtual void PageDone(const std::string& name, PageFate fate, int64_t recordNumber) {
        (void)name;
        (void)fate;
        (void)recordNumber;
    }
};

struct BuildResult {
    Outcome outcome;
    int64_t recordsWritten; // records in the base files
};

// Runs the build over every page of `settings.pagesFolder`. Clears the stop
// request first and tests it after every page, both through `control`. A
// run that took every page but could not read some of them ends with
// PagesUnread, whatever it wrote.
BuildResult BuildBase(FileSystem& files, const BuildSettings& settings, BuildControl& control);

// The folder's *.html pages, in the order the search gives them.
std::vector<ListedFile> ListPages(FileSystem& files, const std::string& pagesFolder);

// Puts the greatest name first, comparing plain unsigned bytes. Names the
// system's code page cannot hold (UTF-8 on Windows) follow all others, in
// the same order among themselves.
void SortPagesDescending(std::vector<ListedFile>& pages);

// One accepted page: its message record and its index line's first three
// fields.
struct PageRecord {
    std::string text;
    std::string indexPrefix;
};

// Parses the page at `pagePath` and, when it is a thread of the forum that
// the filters of `settings` keep, makes its record and returns Written;
// else returns why the page is left out. A page the parser gets no table
// from gives NoTables, whether it was unreadable or held none.
PageFate BuildRecord(const std::string& pagePath, const BuildSettings& settings,
                     PageRecord& record);
