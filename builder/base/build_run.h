// The build run: turns the saved thread pages of one folder into the forum
// base FORUMn.DAT / FORUMn.IDX of one section, written into that folder.
#pragma once

#include "builder/files/file_system.h"
#include "builder/outcomes/outcomes.h"

#include <cstdint>
#include <optional>
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
};

struct BuildResult {
    Outcome outcome;
    int64_t recordsWritten; // records in the base files
};

// Runs the build over every page of `settings.pagesFolder`. Clears the stop
// request first and tests it after every page, both through `control`.
BuildResult BuildBase(FileSystem& files, const BuildSettings& settings, BuildControl& control);

// The names of the folder's *.html pages, in the order the search gives
// them.
std::vector<std::string> ListPages(FileSystem& files, const std::string& pagesFolder);

// Puts the greatest name first, comparing plain unsigned bytes.
void SortPagesDescending(std::vector<std::string>& pages);

// One accepted page: its message record and its index line's first three
// fields.
struct PageRecord {
    std::string text;
    std::string indexPrefix;
};

// Parses the page at `pagePath` and makes its record; nothing when the page
// is not a thread of the forum or the filters of `settings` reject it.
std::optional<PageRecord> BuildRecord(const std::string& pagePath, const BuildSettings& settings);
