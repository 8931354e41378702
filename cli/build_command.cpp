// "build": the build run of the Start button, from the command line.
#include "cli/commands.h"

#include "builder/base/build_run.h"
#include "builder/base/forum_site.h"
#include "builder/base/post_dates.h"
#include "builder/outcomes/outcomes.h"
#include "cli/console.h"
#include "cli/stop_request.h"

#include <cstdio>

namespace {

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

  private:
    bool showProgress_;
    int pageCount_ = 0;
};

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
    {
        CommandLineControl control(StandardErrorIsTerminal());
        result = BuildBase(PlatformFileSystem(), settings, control);
    }
    std::printf("%s\noutcome %d, records %lld\n", ConsoleOutcomeText(result.outcome).c_str(),
                OutcomeCode(result.outcome), static_cast<long long>(result.recordsWritten));
    if (result.outcome == Outcome::NoForumSelected) {
        std::fprintf(stderr, "zeltran-cli: the forum number runs from 1 to %d\n", kSectionCount);
    }
    return OutcomeExitStatus(result.outcome);
}
