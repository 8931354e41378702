// Reindex against the indexes the build and the merge wrote, byte for byte,
// on the sample pages and on generated pages whose cells hold the bytes
// that index fields lose or that look like header lines; and a .DAT that
// does not read as records leaves every file as it was.
#include "builder/base/reindex_base.h"

#include "builder/base/build_run.h"
#include "builder/base/check_base.h"
#include "builder/base/tests/quiet_control.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"
#include "builder/merge/merge_bases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

std::string IndexPath(const std::string& dataPath) {
    return dataPath.substr(0, dataPath.size() - 3) + "IDX";
}

// Builds forum 3 from the pages in `pages` and returns the .DAT's path.
std::string Build(const std::string& pages, bool dateFilter = false,
                  int64_t* recordsWritten = nullptr) {
    BuildSettings settings;
    settings.sectionIndex = 2;
    settings.pagesFolder = pages;
    settings.dateFilter = dateFilter;
    settings.startDateKey = "20051210";
    QuietControl control;
    const BuildResult result = BuildBase(PlatformFileSystem(), settings, control);
    if (recordsWritten != nullptr) {
        *recordsWritten = result.recordsWritten;
    }
    return (std::filesystem::path(pages) / "FORUM3.DAT").string();
}

std::string CopyBase(const std::string& dataPath, const std::string& toDataPath) {
    WriteWholeFile(toDataPath, ReadWholeFile(dataPath));
    WriteWholeFile(IndexPath(toDataPath), ReadWholeFile(IndexPath(dataPath)));
    return toDataPath;
}

std::string Merged(const std::string& newData, const std::string& oldData) {
    EXPECT_EQ(MergeBases(PlatformFileSystem(), newData, oldData), Outcome::MergeFinished);
    return oldData;
}

// The index is lost; reindex must give it back as it was, and check must
// find the base sound.
void ExpectIndexRebuilt(const std::string& dataPath) {
    SCOPED_TRACE(dataPath);
    const std::string written = ReadWholeFile(IndexPath(dataPath));
    std::filesystem::remove(IndexPath(dataPath));
    const ReindexResult result = ReindexBase(PlatformFileSystem(), dataPath);
    EXPECT_EQ(result.outcome, ReindexOutcome::Written);
    EXPECT_EQ(ReadWholeFile(IndexPath(dataPath)), written);
    const BaseCheck check = CheckBase(PlatformFileSystem(), dataPath);
    EXPECT_EQ(check.outcome, CheckOutcome::Checked);
    EXPECT_TRUE(check.faults.empty()) << FaultLine(check.faults.front());
}

// Built, merged, merged again as the new and as the old base, and empty.
void ExpectBuiltAndMergedIndexesRebuilt(const TempFolder& folder, const std::string& pages,
                                        int64_t records) {
    for (const char* copy : {"a", "b"}) {
        std::filesystem::create_directory(folder.Path(copy));
        for (const auto& page : std::filesystem::directory_iterator(pages)) {
            std::filesystem::copy_file(page.path(), std::filesystem::path(folder.Path(copy)) /
                                                        page.path().filename());
        }
    }
    std::filesystem::create_directory(folder.Path("empty"));
    int64_t recordsWritten = 0;
    const std::string all = Build(folder.Path("a"), false, &recordsWritten);
    EXPECT_EQ(recordsWritten, records);
    const std::string recent = Build(folder.Path("b"), true);
    const std::string empty = Build(folder.Path("empty"));
    const std::string merged = Merged(all, CopyBase(recent, folder.Path("M.DAT")));
    const std::string mergedAsNew =
        Merged(CopyBase(merged, folder.Path("N.DAT")), CopyBase(all, folder.Path("MN.DAT")));
    const std::string mergedAsOld = Merged(recent, CopyBase(mergedAsNew, folder.Path("MO.DAT")));
    const std::string emptyMerged = Merged(empty, CopyBase(empty, folder.Path("E.DAT")));
    const std::string emptyIntoBase = Merged(empty, CopyBase(all, folder.Path("EB.DAT")));
    const std::string baseIntoEmpty =
        Merged(CopyBase(emptyMerged, folder.Path("EN.DAT")), CopyBase(all, folder.Path("BE.DAT")));
    for (const std::string& base : {all, recent, empty, merged, mergedAsNew, mergedAsOld,
                                    emptyMerged, emptyIntoBase, baseIntoEmpty}) {
        ExpectIndexRebuilt(base);
    }
}

// A thread page in the forum's layout (as the sample pages have it) with
// the given topic, first author, first date and body.
std::string ThreadPage(int thread, const std::string& topic, const std::string& author,
                       const std::string& date, const std::string& body) {
    const std::string link = "http://www.example.com/support/forums/3/" + std::to_string(thread);
    return "<html><body>\r\n<table><tr><td><a href=\"/cgi-bin/forum.cgi?do=print&thread=" + link +
           ".html&mode=flat\">Print</a></td></tr></table>\r\n"
           "<table><tr><td>Forums</td></tr></table>\r\n"
           "<table>\r\n<tr><td>&nbsp;</td><td>Topic: " +
           topic + "</td></tr>\r\n<tr><td>" + author + "</td>\r\n<td>Posted: " + date +
           " <a href=\"" + link + ".html#post1\">#</a><br>" + body +
           "</td></tr>\r\n<tr><td>reply<br>author</td>\r\n<td>Posted: May 5 <a href=\"" + link +
           ".html#post2\">#</a><br>" + body +
           "</td></tr>\r\n</table>\r\n<table><tr><td>Go to</td></tr>\r\n"
           "<tr><td>Section:</td><td><a href=\"http://www.example.com/cgi-bin/"
           "forum.cgi?do=list&number=3&page=1\">Back</a></td></tr></table>\r\n</body></html>\r\n";
}

// Cell text the index fields cannot keep as it is (TAB, line breaks),
// blanks and commas the name rule cuts at, and text that looks like the
// labels of a record. A date keeps no lone LF: one behind a line break
// would end its line and the header with it.
std::string Pieces(std::mt19937& random, bool withLoneLf) {
    static const char* const kPieces[] = {
        "a",   "Bc",   " ",     "\t",        ",",         ", ", "<br>",       "<p>",  "&nbsp;",
        "<b>", "</b>", "&amp;", "'MESSAGE ", "'TOPIC:  ", "'",  "'FOLLOW-UP", "\r\n", "\n"};
    const std::size_t choices = std::size(kPieces) - (withLoneLf ? 0 : 1);
    std::string text;
    const int count = static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
        text += kPieces[random() % choices];
    }
    return text;
}

} // namespace

TEST(ReindexBase, GivesTheIndexesOfTheSampleBasesBuiltAndMerged) {
    TempFolder folder;
    ExpectBuiltAndMergedIndexesRebuilt(folder, ZELTRAN_SAMPLE_PAGES, 10);
}

TEST(ReindexBase, GivesTheIndexesOfGeneratedBasesBuiltAndMerged) {
    TempFolder folder;
    const std::string pages = folder.Path("generated");
    std::filesystem::create_directory(pages);
    std::mt19937 random(21);
    for (int page = 0; page < 60; ++page) {
        std::string name = "p";
        name += std::to_string(page);
        WriteWholeFile((std::filesystem::path(pages) / (name + ".html")).string(),
                       ThreadPage(page, Pieces(random, true), Pieces(random, true),
                                  Pieces(random, false), Pieces(random, true)));
    }
    ExpectBuiltAndMergedIndexesRebuilt(folder, pages, 60);
}

TEST(ReindexBase, KeepsTheOldIndexBesideTheNewOne) {
    TempFolder folder;
    const std::string data = folder.Path("FORUM3.DAT");
    const std::string record = "'MESSAGE X\n\n'TOPIC:  t\n'NAME:   n,\n'DATE:   d\n\nb\n\n\n\n";
    WriteWholeFile(data, record);
    WriteWholeFile(folder.Path("FORUM3.IDX"), "damaged");
    WriteWholeFile(folder.Path("FORUM3.IXB"), "older copy");
    WriteWholeFile(folder.Path("FORUM3.rxI"), "left by a stopped run");
    const ReindexResult result = ReindexBase(PlatformFileSystem(), data);
    EXPECT_EQ(result.outcome, ReindexOutcome::Written);
    EXPECT_EQ(result.records, 1);
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")), "t\tn\td\t0\t1\t52\r\n");
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IXB")), "damaged");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("FORUM3.rxI")));
}

TEST(ReindexBase, LeavesEveryFileAsItWasWhenTheTextIsNotRecords) {
    const std::string record = "'MESSAGE X\n\n'TOPIC:  t\n'NAME:   n,\n'DATE:   d\n\nb\n\n\n\n";
    const std::string bare = "'MESSAGE Y\nno header\n\n";
    const struct {
        const char* name;
        std::string data;
        ReindexOutcome outcome;
        int64_t at;
        int64_t record;
    } cases[] = {
        {"text in front", "stray" + record, ReindexOutcome::TextNotARecord, 1, 0},
        {"text behind a joint in front", "\r\nstray" + record, ReindexOutcome::TextNotARecord, 3,
         0},
        {"text alone", "stray\n\n", ReindexOutcome::TextNotARecord, 1, 0},
        {"record cut short", record + record.substr(0, 48), ReindexOutcome::RecordUnended, 101, 53},
        {"record with text behind its end", record + "x\n" + record, ReindexOutcome::RecordUnended,
         55, 1},
        {"record without header lines", record + bare, ReindexOutcome::HeaderMissing, 53, 53},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string data = folder.Path("FORUM3.DAT");
        WriteWholeFile(data, c.data);
        WriteWholeFile(folder.Path("FORUM3.IDX"), "old index");
        const ReindexResult result = ReindexBase(PlatformFileSystem(), data);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.at, c.at);
        EXPECT_EQ(result.record, c.record);
        EXPECT_EQ(ReadWholeFile(data), c.data);
        EXPECT_EQ(ReadWholeFile(folder.Path("FORUM3.IDX")), "old index");
        EXPECT_FALSE(std::filesystem::exists(folder.Path("FORUM3.IXB")));
        EXPECT_FALSE(std::filesystem::exists(folder.Path("FORUM3.rxI")));
    }
}

TEST(ReindexBase, RefusesOtherNamesAndABusyFolder) {
    TempFolder folder;
    WriteWholeFile(folder.Path("FORUM3.DAT"), "");
    for (const char* name : {"FORUM3.IDX", "FORUM3.rxi", "FORUM3.IXB", "FORUM3"}) {
        WriteWholeFile(folder.Path(name), "");
        EXPECT_EQ(ReindexBase(PlatformFileSystem(), folder.Path(name)).outcome,
                  ReindexOutcome::NotABasePath)
            << name;
    }
    EXPECT_EQ(ReindexBase(PlatformFileSystem(), folder.Path("FORUM4.DAT")).outcome,
              ReindexOutcome::DataMissing);
    const FolderLockAttempt otherRun =
        PlatformFileSystem().LockFolder(FolderOfPath(folder.Path("FORUM3.DAT")));
    ASSERT_TRUE(otherRun.lock);
    EXPECT_EQ(ReindexBase(PlatformFileSystem(), folder.Path("FORUM3.DAT")).outcome,
              ReindexOutcome::FolderBusy);
}
