// "build": the build run of the Start button, from the command line.
#include "cli/commands.h"

#include "builder/base/build_run.h"
#include "builder/base/forum_site.h"
#include "builder/base/post_dates.h"
#include "builder/outcomes/outcomes.h"
#include "cli/console.h"
#include "cli/stop_request.h"

#include <array>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

// A page's fate as a report line shows it; a written page shows its record
// number instead.
const char* FateText(PageFate fate) {
    switch (fate) {
    case PageFate::Written: return "record";
    case PageFate::NoTables: return "no tables";
    case PageFate::NotAThread: return "no thread link";
    case PageFate::OtherForum: return "other forum";
    case PageFate::TooOld: return "too old";
    case PageFate::Unread: return "unread";
    }
    return "";
}

// The reasons a page is left out, in the order of the summary line.
constexpr PageFate kLeftOut[] = {PageFate::NotAThread, PageFate::OtherForum, PageFate::TooOld,
                                 PageFate::NoTables, PageFate::Unread};

struct TakenPage {
    std::string name;
    PageFate fate;
    int64_t recordNumber;
};

// Progress on standard error, for a person watching a terminal.
class CommandLineControl : public BuildControl {
  public:
    explicit CommandLineControl(bool showProgress) : showProgress_(showProgress) {}
    ~CommandLineControl() override {
        if (showProgress_ && pageCount_ > 0) {
            std::fputc('\n', stderr);
        }
    }
    CommandLineControl(const CommandLineControl&) = delete;
    CommandLineControl& operator=(const CommandLineControl&) = delete;

    void SetProgressRange(int count) override { pageCount_ = count; }
    void SetProgress(int index) override {
        if (showProgress_ && pageCount_ > 0) {
            std::fprintf(stderr, "\rpage %d of %d", index + 1, pageCount_);
        }
    }
    void ClearStopRequest() override { ::ClearStopRequest(); }
    bool StopRequested() override { return IsStopRequested(); }
    // No window to keep alive: Ctrl+C arrives by itself.
    void PumpOneMessage() override {}
    // Kept for the end of the run, so that no line of it comes between the
    // progress line's updates.
    void PageDone(const std::string& name, PageFate fate, int64_t recordNumber) override {
        pages.push_back({name, fate, recordNumber});
    }

    int pagesListed() const { return pageCount_; }

    std::vector<TakenPage> pages;

  private:
    bool showProgress_;
    int pageCount_ = 0;
};

// One line per page taken, the fate first so that the rest of the line is
// the name, whatever its characters; then the counts. A stopped run took
// fewer pages than it listed.
void PrintReport(const std::vector<TakenPage>& pages, int pagesListed) {
    std::array<int64_t, std::size(kLeftOut)> leftOut{};
    int64_t records = 0;
    for (const TakenPage& page : pages) {
        if (page.fate == PageFate::Written) {
            std::printf("record %lld\t%s\n", static_cast<long long>(page.recordNumber),
                        page.name.c_str());
            ++records;
            continue;
        }
        std::printf("%s\t%s\n", FateText(page.fate), page.name.c_str());
        for (std::size_t reason = 0; reason < leftOut.size(); ++reason) {
            leftOut[reason] += kLeftOut[reason] == page.fate ? 1 : 0;
        }
    }
    std::printf("pages %d, records %lld", pagesListed, static_cast<long long>(records));
    for (std::size_t reason = 0; reason < leftOut.size(); ++reason) {
        std::printf(", %s %lld", FateText(kLeftOut[reason]),
                    static_cast<long long>(leftOut[reason]));
    }
    std::printf("\n");
}

int DaysInMonth(int32_t year, int32_t month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leapYear = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leapYear ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD", a day of the calendar, to the start date key.
bool ParseSinceDate(const std::string& text, std::string& startDateKey) {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ParseInt32(std::string_view(text).substr(0, 4), year) ||
        !ParseInt32(std::string_view(text).substr(5, 2), month) ||
        !ParseInt32(std::string_view(text).substr(8, 2), day) || year < 1 || month < 1 ||
        month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return false;
    }
    startDateKey = StartDateKey(year, month, day);
    return true;
}

} // namespace

int RunBuild(const Arguments& arguments) {
    BuildSettings settings;
    bool pagesGiven = false;
    bool report = false;
    bool forumGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--pages" && hasValue) {
            settings.pagesFolder = arguments[++i];
            pagesGiven = true;
        } else if (option == "--forum" && hasValue) {
            int32_t forumNumber = 0;
            if (!ParseInt32(arguments[++i], forumNumber)) {
                return UsageError("not a forum number: " + arguments[i]);
            }
            // A number outside the sections leaves none chosen, for the run to
            // report; the lowest int32_t has no number below it to subtract to.
            settings.sectionIndex =
                forumNumber >= 1 && forumNumber <= kSectionCount ? forumNumber - 1 : -1;
            forumGiven = true;
        } else if (option == "--since" && hasValue) {
            if (!ParseSinceDate(arguments[++i], settings.startDateKey)) {
                return UsageError("not a date YYYY-MM-DD: " + arguments[i]);
            }
            settings.dateFilter = true;
        } else if (option == "--report") {
            report = true;
        } else if (option == "--forum-filter") {
            settings.forumFilter = true;
        } else {
            return UsageError("build: unexpected argument: " + option);
        }
    }
    if (!pagesGiven || !forumGiven) {
        return UsageError("build takes --pages DIR and --forum N");
    }

    InstallStopHandler();
    BuildResult result;
    std::vector<TakenPage> pages;
    int pagesListed = 0;
    {
        CommandLineControl control(StandardErrorIsTerminal());
        result = BuildBase(PlatformFileSystem(), settings, control);
        pages = std::move(control.pages);
        pagesListed = control.pagesListed();
    }
    const std::string folder = FolderWithSeparator(settings.pagesFolder);
    for (const TakenPage& page : pages) {
        if (page.fate == PageFate::Unread) {
            std::fprintf(stderr, "zeltran-cli: page not read: %s%s\n", folder.c_str(),
                         page.name.c_str());
        }
    }
    if (report) {
        PrintReport(pages, pagesListed);
    }
    std::printf("%s\noutcome %d, records %lld\n", ConsoleOutcomeText(result.outcome).c_str(),
                OutcomeCode(result.outcome), static_cast<long long>(result.recordsWritten));
    if (result.outcome == Outcome::NoForumSelected) {
        std::fprintf(stderr, "zeltran-cli: the forum number runs from 1 to %d\n", kSectionCount);
    }
    return OutcomeExitStatus(result.outcome);
}
