#include "builder/base/build_run.h"
#include "builder/base/tests/base_check.h"
#include "builder/files/tests/faulty_file_system.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"
#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace {

struct Post {
    std::string author;
    std::string date;
    std::string body;
};

// A thread page in the forum's layout: the thread link in table 1, the posts
// in table 3, the section link in table 4. `section` empty: no section link.
std::string ThreadPage(const std::string& topic, const std::vector<Post>& posts,
                       const std::string& section = "3",
                       const std::string& site = "www.example.com/support/forums") {
    const std::string link = "http://" + site + "/3/77.html";
    std::string page = "<html><table><tr><td><a href=\"x?do=print&thread=" + link +
                       "&m=1\">p</a></td></tr></table>\n<table><tr><td>t</td></tr></table>\n"
                       "<table><tr><td>&nbsp;</td><td>Topic: " +
                       topic + "</td></tr>\n";
    for (const Post& post : posts) {
        page += "<tr><td>" + post.author + "</td><td>Posted: " + post.date + " <a href=\"" + link +
                "#p\">#</a><br>" + post.body + "</td></tr>\n";
    }
    page += "</table>\n<table><tr><td>a</td><td>b</td></tr><tr><td>S</td><td>";
    if (!section.empty()) {
        page += "<a href=\"http://www.example.com/f?do=list&number=" + section + "&p=1\">s</a>";
    }
    return page + "</td></tr></table></html>\n";
}

std::string SimplePage(const std::string& topic, const std::string& date = "December 05, 2005",
                       const std::string& section = "3") {
    return ThreadPage(topic, {{"ann<br>Member", date, "Hello"}}, section);
}

class RecordingControl : public BuildControl {
  public:
    explicit RecordingControl(int stopAfterPage = -1) : stopAfterPage_(stopAfterPage) {}
    void SetProgressRange(int count) override { range = count; }
    void SetProgress(int index) override { lastProgress = index; }
    void ClearStopRequest() override {}
    bool StopRequested() override { return lastProgress == stopAfterPage_; }
    void PumpOneMessage() override {
        if (inPause) {
            inPause(pauses);
        }
        ++pauses;
    }
    void PageDone(const std::string& name, PageFate fate, int64_t recordNumber) override {
        fates.push_back({name, fate, recordNumber});
    }

    struct Fate {
        std::string name;
        PageFate fate;
        int64_t recordNumber;
        bool operator==(const Fate&) const = default;
    };
    int range = -1;
    int lastProgress = -1;
    int pauses = 0;
    std::vector<Fate> fates;
    // What the world does meanwhile, in the pause after page `pause`.
    std::function<void(int pause)> inPause;

  private:
    int stopAfterPage_;
};

BuildSettings SettingsFor(const TempFolder& folder, int sectionIndex = 2) {
    BuildSettings settings;
    settings.sectionIndex = sectionIndex;
    settings.pagesFolder = folder.path().string();
    return settings;
}

std::vector<std::string> IndexTopics(const std::string& index) {
    std::vector<std::string> topics;
    for (const std::vector<std::string>& fields : IndexLines(index)) {
        topics.push_back(fields[0]);
    }
    return topics;
}

} // namespace

TEST(BuildRun, WritesRecordAndIndexLineByteForByte) {
    TempFolder folder;
    WriteWholeFile(
        folder.Path("b.html"),
        ThreadPage("Backup", {{"ann<br>Member", "December 05, 2005 10:41 AM", "One<br>Two"},
                              {"bob<br>Mod<br>Kiev", "Dec 06, 2005", "Re"}}));
    WriteWholeFile(folder.Path("a.html"), SimplePage("Solo", "Jan 10, 2006", ""));
    RecordingControl control;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
    EXPECT_EQ(result.outcome, Outcome::BaseBuilt);
    EXPECT_EQ(result.recordsWritten, 2);
    const std::string first = "'MESSAGE HTTP://WWW.EXAMPLE.COM/SUPPORT/FORUMS/3/77.HTML\n"
                              "'FORUM:  Databases\n"
                              "'TOPIC:  Backup\n"
                              "'NAME:   ann, Member\n"
                              "'DATE:   December 05, 2005 10:41 AM\n"
                              "\nOne\nTwo\n\n\n"
                              "'FOLLOW-UP\n'bob, Mod\nKiev\n'Posted: Dec 06, 2005\n\nRe\n\n\n";
    const std::string second = "'MESSAGE HTTP://WWW.EXAMPLE.COM/SUPPORT/FORUMS/3/77.HTML\n"
                               "\n"
                               "'TOPIC:  Solo\n"
                               "'NAME:   ann, Member\n"
                               "'DATE:   Jan 10, 2006\n"
                               "\nHello\n\n\n\n\n";
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.DAT")), first + second);
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")),
              "Backup\tann\tDecember 05, 2005 10:41 AM\t0\t1\t" + std::to_string(first.size()) +
                  "\r\nSolo\tann\tJan 10, 2006\t1\t" + std::to_string(first.size() + 1) + "\t" +
                  std::to_string(second.size()) + "\r\n");
}

// A post may carry what looks like a record header inside a tag, in any
// letter case; the base still holds one record per page.
TEST(BuildRun, APostCannotForgeARecord) {
    TempFolder folder;
    const std::string forged =
        "<x\n'message http://www.example.com/support/forums/3/6666.html\n'FORUM:  x>";
    WriteWholeFile(folder.Path("a.html"),
                   ThreadPage("Forge", {{"ann<br>Member", "December 05, 2005", forged},
                                        {"bob<br>Member", "December 06, 2005", forged}}));
    RecordingControl control;
    ASSERT_EQ(BuildBase(PlatformFileSystem(), SettingsFor(folder), control).outcome,
              Outcome::BaseBuilt);
    const std::string data = ReadWholeFile(folder.Path("FORUM3.DAT"));
    EXPECT_EQ(data.find("'MESSAGE"), 0u);
    EXPECT_EQ(data.find("'MESSAGE", 1), std::string::npos) << data;
    EXPECT_NE(data.find("\n'Message HTTP://WWW.EXAMPLE.COM/SUPPORT/FORUMS/3/6666.HTML\n"),
              std::string::npos)
        << data;
}

TEST(BuildRun, ProcessesPagesInDescendingByteOrder) {
    TempFolder folder;
    for (const char* name : {"a", "c", "b", "ab", "B", "\xC0"}) {
        WriteWholeFile(folder.Path(std::string(name) + ".html"), SimplePage(name));
    }
    WriteWholeFile(folder.Path("z.txt"), SimplePage("txt"));
    WriteWholeFile(folder.Path(".z.html"), SimplePage("hidden"));
    std::filesystem::create_directory(folder.Path("zz.html"));
    RecordingControl control;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder, 4), control);
    EXPECT_EQ(result.outcome, Outcome::BaseBuilt);
    EXPECT_EQ(IndexTopics(ReadWholeFile(folder.Path("FORUM5.IDX"))),
              (std::vector<std::string>{"\xC0", "c", "b", "ab", "a", "B"}));
    EXPECT_EQ(control.range, 6);
    EXPECT_EQ(control.lastProgress, 5);
    EXPECT_EQ(control.pauses, 6);
}

TEST(BuildRun, FiltersPagesBySectionAndDate) {
    TempFolder folder;
    WriteWholeFile(folder.Path("1.html"), SimplePage("three", "December 05, 2005", "3"));
    WriteWholeFile(folder.Path("2.html"), SimplePage("twelve", "December 05, 2005", "12"));
    WriteWholeFile(folder.Path("3.html"), SimplePage("none", "December 05, 2005", ""));
    WriteWholeFile(folder.Path("4.html"), SimplePage("seven", "December 05, 2005", "7"));
    WriteWholeFile(folder.Path("5.html"), SimplePage("old", "Dec 04, 2005", "3"));
    WriteWholeFile(folder.Path("6.html"), SimplePage("new", "Jan 10, 2006", "3"));
    WriteWholeFile(folder.Path("7.html"), SimplePage("one digit", "Dec 5, 2005", "3"));
    WriteWholeFile(folder.Path("8.html"), ThreadPage("foreign", {{"x", "Dec 05, 2005", "y"}}, "3",
                                                     "forum.example.org/board"));
    WriteWholeFile(folder.Path("9.html"), "<table><tr><td>no link</td></tr></table>");
    const struct {
        bool forumFilter;
        bool dateFilter;
        std::vector<std::string> topics;
    } cases[] = {
        {false, false, {"one digit", "new", "old", "seven", "none", "twelve", "three"}},
        {true, false, {"one digit", "new", "old", "none", "three"}},
        {false, true, {"one digit", "new", "seven", "none", "twelve", "three"}},
        {true, true, {"one digit", "new", "none", "three"}},
    };
    for (const auto& c : cases) {
        BuildSettings settings = SettingsFor(folder);
        settings.forumFilter = c.forumFilter;
        settings.dateFilter = c.dateFilter;
        settings.startDateKey = "20051205";
        RecordingControl control;
        BuildBase(PlatformFileSystem(), settings, control);
        EXPECT_EQ(IndexTopics(ReadWholeFile(folder.Path("FORUM3.IDX"))), c.topics)
            << c.forumFilter << c.dateFilter;
        if (!c.forumFilter) {
            const std::string data = ReadWholeFile(folder.Path("FORUM3.DAT"));
            EXPECT_NE(data.find("'FORUM:  User Interface\n'TOPIC:  seven\n"), std::string::npos);
            EXPECT_NE(data.find("77.HTML\n\n'TOPIC:  none\n"), std::string::npos);
        }
    }
}

TEST(BuildRun, RunsWithoutPagesEndWithNothingToWrite) {
    TempFolder folder;
    RecordingControl control;
    EXPECT_EQ(BuildBase(PlatformFileSystem(), SettingsFor(folder), control).outcome,
              Outcome::NothingToWrite);
    EXPECT_TRUE(std::filesystem::exists(folder.Path("FORUM3.DAT")));
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.DAT")), "");
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")), "");

    BuildSettings missing = SettingsFor(folder);
    missing.pagesFolder = folder.Path("missing");
    EXPECT_EQ(BuildBase(PlatformFileSystem(), missing, control).outcome, Outcome::NothingToWrite);

    // No folder at all: nothing is touched, not even the current folder.
    FaultyFileSystem watched(PlatformFileSystem());
    BuildSettings empty = SettingsFor(folder);
    empty.pagesFolder = "";
    EXPECT_EQ(BuildBase(watched, empty, control).outcome, Outcome::NothingToWrite);
    EXPECT_TRUE(watched.operations().empty());
}

TEST(BuildRun, SectionOutsideTheListTouchesNoFile) {
    TempFolder folder;
    WriteWholeFile(folder.Path("a.html"), SimplePage("a"));
    for (int sectionIndex : {-1, 12}) {
        FaultyFileSystem watched(PlatformFileSystem());
        RecordingControl control;
        EXPECT_EQ(BuildBase(watched, SettingsFor(folder, sectionIndex), control).outcome,
                  Outcome::NoForumSelected);
        EXPECT_TRUE(watched.operations().empty());
    }
}

TEST(BuildRun, StopLeavesOneIndexLinePerRecord) {
    TempFolder folder;
    for (const char* name : {"a", "b", "c", "d"}) {
        WriteWholeFile(folder.Path(std::string(name) + ".html"), SimplePage(name));
    }
    RecordingControl control(1);
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
    EXPECT_EQ(result.outcome, Outcome::BuildStopped);
    EXPECT_EQ(result.recordsWritten, 2);
    const std::string index = ReadWholeFile(folder.Path("FORUM3.IDX"));
    EXPECT_EQ(IndexTopics(index), (std::vector<std::string>{"d", "c"}));
    ExpectBaseConsistent(ReadWholeFile(folder.Path("FORUM3.DAT")), index);
}

// A window's stop request: its Stop buttons set it while the window handles
// a message in the pause after a page.
class StopButtonControl : public BuildControl {
  public:
    explicit StopButtonControl(int pressInPause) : pressInPause_(pressInPause) {}
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}
    void ClearStopRequest() override { stopRequest = false; }
    bool StopRequested() override { return stopRequest; }
    void PumpOneMessage() override {
        if (++pauses == pressInPause_) {
            stopRequest = true;
        }
    }

    bool stopRequest = false;
    int pauses = 0;

  private:
    int pressInPause_;
};

TEST(BuildRun, StopPressedBeforeTheRunIsForgotten) {
    TempFolder folder;
    for (const char* name : {"a", "b", "c"}) {
        WriteWholeFile(folder.Path(std::string(name) + ".html"), SimplePage(name));
    }
    StopButtonControl control(0);
    control.stopRequest = true;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
    EXPECT_EQ(result.outcome, Outcome::BaseBuilt);
    EXPECT_EQ(result.recordsWritten, 3);
    EXPECT_EQ(control.pauses, 3);
}

TEST(BuildRun, StopPressedInAPauseEndsTheRunAfterTheNextPage) {
    TempFolder folder;
    for (const char* name : {"a", "b", "c", "d"}) {
        WriteWholeFile(folder.Path(std::string(name) + ".html"), SimplePage(name));
    }
    StopButtonControl control(1);
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
    EXPECT_EQ(result.outcome, Outcome::BuildStopped);
    EXPECT_EQ(result.recordsWritten, 2);
    // The run returns at the check, before the pause of the page that saw it.
    EXPECT_EQ(control.pauses, 1);
    EXPECT_EQ(IndexTopics(ReadWholeFile(folder.Path("FORUM3.IDX"))),
              (std::vector<std::string>{"d", "c"}));
}

// The pair a build starts from, and the states of the folder that a failed
// or stopped build may leave: the previous pair, a .DAT without an .IDX, or
// the new pair.
struct FaultCase {
    bool previousBase;
    int stopAfterPage; // -1: the run is not stopped
};

constexpr FaultCase kFaultCases[] = {{true, -1}, {false, -1}, {true, 1}};

using FolderFiles = std::map<std::string, std::string>;

// The folder's files other than its pages, by name; a folder among them
// shows as "(folder)".
FolderFiles FilesBesideThePages(const TempFolder& folder) {
    FolderFiles files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".html")) {
            files[name] = entry.is_directory() ? "(folder)" : ReadWholeFile(entry.path().string());
        }
    }
    return files;
}

// Four pages and, for `previousBase`, a pair whose two files differ from each
// other and from anything a build writes.
FolderFiles PrepareFolder(const TempFolder& folder, bool previousBase) {
    std::filesystem::remove_all(folder.path());
    std::filesystem::create_directory(folder.path());
    for (const char* name : {"a", "b", "c", "d"}) {
        WriteWholeFile(folder.Path(std::string(name) + ".html"), SimplePage(name));
    }
    if (!previousBase) {
        return {};
    }
    WriteWholeFile(folder.Path("FORUM3.DAT"), "previous data");
    WriteWholeFile(folder.Path("FORUM3.IDX"), "previous index");
    return FilesBesideThePages(folder);
}

// The base files alone: a stopped build may leave work files beside them.
FolderFiles BaseOnly(FolderFiles files) {
    std::erase_if(files, [](const auto& file) {
        return file.first != "FORUM3.DAT" && file.first != "FORUM3.IDX";
    });
    return files;
}

TEST(BuildRun, AFailedFileOperationLeavesTheNewPairOrThePreviousOne) {
    TempFolder folder;
    for (const FaultCase& c : kFaultCases) {
        const FolderFiles previous = PrepareFolder(folder, c.previousBase);
        FaultyFileSystem counting(PlatformFileSystem());
        RecordingControl control(c.stopAfterPage);
        const Outcome built = BuildBase(counting, SettingsFor(folder), control).outcome;
        const FolderFiles complete = FilesBesideThePages(folder);
        const int operations = static_cast<int>(counting.operations().size());

        for (int failing = 1; failing <= operations; ++failing) {
            SCOPED_TRACE(testing::Message() << c.previousBase << c.stopAfterPage << " " << failing);
            PrepareFolder(folder, c.previousBase);
            FaultyFileSystem faulty(PlatformFileSystem(), failing);
            RecordingControl faultControl(c.stopAfterPage);
            const BuildResult result = BuildBase(faulty, SettingsFor(folder), faultControl);
            FolderFiles left = FilesBesideThePages(folder);
            const FileOperation failed = counting.operations()[failing - 1];
            // The set-aside old index outlives a failed deletion, the last step.
            if (failed == FileOperation::Delete && failing == operations) {
                EXPECT_EQ(left.erase("FORUM3.owI"), 1u);
            }
            if (result.outcome == Outcome::BaseWriteFailed) {
                EXPECT_EQ(result.recordsWritten, 0);
                EXPECT_EQ(left, previous);
            } else if (failed == FileOperation::ListFiles) {
                // A listing that fails finds no page: an empty base.
                EXPECT_EQ(result.outcome, Outcome::NothingToWrite);
                EXPECT_EQ(left, (FolderFiles{{"FORUM3.DAT", ""}, {"FORUM3.IDX", ""}}));
            } else {
                EXPECT_EQ(result.outcome, built);
                EXPECT_EQ(left, complete);
            }
        }
    }
}

TEST(BuildRun, AKilledBuildLeavesASafeStateThatTheNextBuildTakesUp) {
    TempFolder folder;
    for (const FaultCase& c : kFaultCases) {
        const FolderFiles previous = PrepareFolder(folder, c.previousBase);
        FaultyFileSystem counting(PlatformFileSystem());
        RecordingControl control(c.stopAfterPage);
        BuildBase(counting, SettingsFor(folder), control);
        const FolderFiles stopped = FilesBesideThePages(folder);
        ExpectBaseConsistent(stopped.at("FORUM3.DAT"), stopped.at("FORUM3.IDX"));
        RecordingControl fullControl;
        ASSERT_EQ(BuildBase(PlatformFileSystem(), SettingsFor(folder), fullControl).outcome,
                  Outcome::BaseBuilt);
        const FolderFiles complete = FilesBesideThePages(folder);

        for (int killed = 1; killed <= static_cast<int>(counting.operations().size()); ++killed) {
            SCOPED_TRACE(testing::Message() << c.previousBase << c.stopAfterPage << " " << killed);
            PrepareFolder(folder, c.previousBase);
            FaultyFileSystem faulty(PlatformFileSystem(), killed, Fault::Stop);
            RecordingControl killedControl(c.stopAfterPage);
            BuildBase(faulty, SettingsFor(folder), killedControl);
            const FolderFiles left = BaseOnly(FilesBesideThePages(folder));
            const bool dataAlone = left.size() == 1 && left.contains("FORUM3.DAT");
            EXPECT_TRUE(left == previous || dataAlone || left == stopped)
                << testing::PrintToString(left);

            RecordingControl nextControl;
            EXPECT_EQ(BuildBase(PlatformFileSystem(), SettingsFor(folder), nextControl).outcome,
                      Outcome::BaseBuilt);
            EXPECT_EQ(FilesBesideThePages(folder), complete);
        }
    }
}

// Another program holding the .DAT keeps the build from replacing it, as a
// folder in its place does here; the planted link shows that work files
// left under the build's names are removed, never written through.
TEST(BuildRun, ADataFileThatCannotBeReplacedKeepsThePreviousIndex) {
    TempFolder folder;
    WriteWholeFile(folder.Path("a.html"), SimplePage("a"));
    std::filesystem::create_directory(folder.Path("FORUM3.DAT"));
    WriteWholeFile(folder.Path("FORUM3.IDX"), "previous index");
    WriteWholeFile(folder.Path("elsewhere"), "not the build's");
    std::filesystem::create_symlink(folder.Path("elsewhere"), folder.Path("FORUM3.nwD"));
    RecordingControl control;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
    EXPECT_EQ(result.outcome, Outcome::BaseWriteFailed);
    EXPECT_EQ(result.recordsWritten, 0);
    EXPECT_EQ(FilesBesideThePages(folder), (FolderFiles{{"FORUM3.DAT", "(folder)"},
                                                        {"FORUM3.IDX", "previous index"},
                                                        {"elsewhere", "not the build's"}}));
}

TEST(BuildRun, ASecondRunInTheFolderIsRefusedUntouched) {
    TempFolder folder;
    WriteWholeFile(folder.Path("a.html"), SimplePage("a"));
    WriteWholeFile(folder.Path("FORUM3.DAT"), "the other run's data");
    WriteWholeFile(folder.Path("FORUM3.IDX"), "the other run's index");
    RecordingControl control;
    {
        const auto otherRun = PlatformFileSystem().LockFolder(folder.path().string());
        ASSERT_TRUE(otherRun.lock);
        const BuildResult result = BuildBase(PlatformFileSystem(), SettingsFor(folder), control);
        EXPECT_EQ(result.outcome, Outcome::FolderBusy);
        EXPECT_EQ(result.recordsWritten, 0);
        EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.DAT")), "the other run's data");
        EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")), "the other run's index");
    }
    EXPECT_EQ(BuildBase(PlatformFileSystem(), SettingsFor(folder), control).outcome,
              Outcome::BaseBuilt);
}

// Notes every file opened for reading and refuses to open one of them, as
// for a page another program holds locked.
class ReadWatchingFileSystem : public FaultyFileSystem {
  public:
    ReadWatchingFileSystem(FileSystem& inner, std::string lockedPath)
        : FaultyFileSystem(inner), lockedPath_(std::move(lockedPath)) {}
    std::unique_ptr<DiskFile> Open(const std::string& path, OpenMode mode,
                                   Sharing sharing) override {
        if (mode == OpenMode::Read) {
            opened.push_back(path);
            if (path == lockedPath_) {
                return nullptr;
            }
        }
        return FaultyFileSystem::Open(path, mode, sharing);
    }

    std::vector<std::string> opened;

  private:
    std::string lockedPath_;
};

TEST(BuildRun, TellsTheFateOfEveryPageAndCountsUnreadOnes) {
    TempFolder folder;
    WriteWholeFile(folder.Path("a.html"), SimplePage("written"));
    WriteWholeFile(folder.Path("b.html"), "<p>no table at all</p>");
    WriteWholeFile(folder.Path("c.html"), "<table><tr><td>no link</td></tr></table>");
    WriteWholeFile(folder.Path("d.html"), SimplePage("seven", "December 05, 2005", "7"));
    WriteWholeFile(folder.Path("e.html"), SimplePage("old", "Dec 04, 2005"));
    WriteWholeFile(folder.Path("f.html"), SimplePage("vanishes"));
    WriteWholeFile(folder.Path("g.html"), SimplePage("first"));
    WriteWholeFile(folder.Path("h.html"), "");
    BuildSettings settings = SettingsFor(folder);
    settings.forumFilter = true;
    settings.dateFilter = true;
    settings.startDateKey = "20051205";
    ReadWatchingFileSystem watched(PlatformFileSystem(), "");
    RecordingControl control;
    control.inPause = [&](int pause) {
        if (pause == 0) {
            std::filesystem::remove(folder.Path("f.html"));
        }
    };
    const BuildResult result = BuildBase(watched, settings, control);
    EXPECT_EQ(result.outcome, Outcome::PagesUnread);
    EXPECT_EQ(result.recordsWritten, 2);
    using Fate = RecordingControl::Fate;
    EXPECT_EQ(control.fates, (std::vector<Fate>{{"h.html", PageFate::NoTables, -1},
                                                {"g.html", PageFate::Written, 0},
                                                {"f.html", PageFate::Unread, -1},
                                                {"e.html", PageFate::TooOld, -1},
                                                {"d.html", PageFate::OtherForum, -1},
                                                {"c.html", PageFate::NotAThread, -1},
                                                {"b.html", PageFate::NoTables, -1},
                                                {"a.html", PageFate::Written, 1}}));
    EXPECT_EQ(IndexTopics(ReadWholeFile(folder.Path("FORUM3.IDX"))),
              (std::vector<std::string>{"first", "written"}));
    // Only the pages the parser found no table in are looked at again.
    EXPECT_EQ(watched.opened,
              (std::vector<std::string>{folder.Path("h.html"), folder.Path("f.html"),
                                        folder.Path("b.html")}));

    // A page without tables that cannot be opened either.
    ReadWatchingFileSystem locked(PlatformFileSystem(), folder.Path("b.html"));
    RecordingControl again;
    EXPECT_EQ(BuildBase(locked, settings, again).outcome, Outcome::PagesUnread);
    EXPECT_EQ(again.fates[5], (Fate{"b.html", PageFate::Unread, -1}));
    EXPECT_EQ(again.fates[0], (Fate{"h.html", PageFate::NoTables, -1}));
}

// The pages folder renamed or removed after the first two pages: its
// pages are unread, and the base cannot be put in place where the folder
// was, so the run says that nothing was written.
TEST(BuildRun, AFolderThatVanishesLeavesItsPagesUnread) {
    for (const bool removed : {false, true}) {
        SCOPED_TRACE(removed);
        TempFolder folder;
        const std::filesystem::path pages = folder.path() / "pages";
        std::filesystem::create_directory(pages);
        for (const char* name : {"a", "b", "c", "d"}) {
            WriteWholeFile((pages / (std::string(name) + ".html")).string(), SimplePage(name));
        }
        BuildSettings settings = SettingsFor(folder);
        settings.pagesFolder = pages.string();
        RecordingControl control;
        control.inPause = [&](int pause) {
            if (pause == 1 && removed) {
                std::filesystem::remove_all(pages);
            } else if (pause == 1) {
                std::filesystem::rename(pages, folder.path() / "renamed");
            }
        };
        const BuildResult result = BuildBase(PlatformFileSystem(), settings, control);
        EXPECT_EQ(result.outcome, Outcome::BaseWriteFailed);
        EXPECT_EQ(result.recordsWritten, 0);
        ASSERT_EQ(control.fates.size(), 4u);
        EXPECT_EQ(control.fates[2].fate, PageFate::Unread);
        EXPECT_EQ(control.fates[3].fate, PageFate::Unread);
    }
}

TEST(BuildRun, NamesOutsideTheCodePageFollowAllOthers) {
    std::vector<ListedFile> pages = {{"b.html", false, ""},
                                     {"\xCE\xA9_\xCF\x89.html", true, ""},
                                     {"\xC0.html", false, ""},
                                     {"\xF0\x9F\x98\x80.html", true, ""},
                                     {"a.html", false, ""}};
    SortPagesDescending(pages);
    std::vector<std::string> names;
    for (const ListedFile& page : pages) {
        names.push_back(page.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"\xC0.html", "b.html", "a.html",
                                               "\xF0\x9F\x98\x80.html", "\xCE\xA9_\xCF\x89.html"}));
}
