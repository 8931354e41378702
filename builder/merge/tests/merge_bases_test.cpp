#include "builder/merge/merge_bases.h"

#include "builder/files/tests/faulty_file_system.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"
#include "builder/outcomes/outcomes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

struct Base {
    std::string data;
    std::string index;
};

std::string Record(const std::string& topic) {
    return "'MESSAGE http://forum/t/" + topic + "\n'FORUM:  F\n'TOPIC:  " + topic +
           "\n'NAME:   A,\n'DATE:   D\n\n" + topic + " text\n\n\n\n";
}

// A base as the build run writes it: records in a row and one index line
// per record with its number and 1-based offset, counted from the given
// ones, and its length.
Base MakeBase(const std::vector<std::string>& topics, uint64_t firstNumber = 0,
              uint64_t firstOffset = 1) {
    Base base;
    for (const std::string& topic : topics) {
        const std::string record = Record(topic);
        base.index += topic + "\tA\tD\t" + std::to_string(firstNumber++) + "\t" +
                      std::to_string(firstOffset + base.data.size()) + "\t" +
                      std::to_string(record.size()) + "\r\n";
        base.data += record;
    }
    return base;
}

// The record text each index line points at, by its offset and length.
std::vector<std::string> RecordsOf(const Base& base) {
    std::vector<std::string> records;
    std::size_t start = 0;
    for (std::size_t end; (end = base.index.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = base.index.substr(start, end - start);
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) {
                break;
            }
            from = tab + 1;
        }
        const uint64_t offset = std::stoull(fields.at(4));
        const uint64_t length = std::stoull(fields.at(5));
        EXPECT_EQ(fields.at(3), std::to_string(records.size())) << line;
        EXPECT_LE(offset - 1 + length, base.data.size()) << line;
        records.push_back(base.data.substr(offset - 1, length));
    }
    return records;
}

class MergeFolder {
  public:
    std::string Path(const std::string& name) const { return folder_.Path(name); }

    void Write(const std::string& name, const Base& base) {
        WriteWholeFile(Path(name + ".DAT"), base.data);
        WriteWholeFile(Path(name + ".IDX"), base.index);
    }
    Base Read(const std::string& name) const {
        return {ReadWholeFile(Path(name + ".DAT")), ReadWholeFile(Path(name + ".IDX"))};
    }
    Outcome Merge(FileSystem& files, const std::string& newName, const std::string& oldName) {
        return MergeBases(files, Path(newName + ".DAT"), Path(oldName + ".DAT"));
    }
    Outcome Merge(const std::string& newName, const std::string& oldName) {
        return Merge(PlatformFileSystem(), newName, oldName);
    }
    // Every file under the folder with its bytes; a link as where it leads.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.path())) {
            const std::string name = entry.path().lexically_relative(folder_.path()).string();
            if (entry.is_symlink()) {
                contents[name] = "link to " + std::filesystem::read_symlink(entry).string();
            } else if (entry.is_regular_file()) {
                contents[name] = ReadWholeFile(entry.path().string());
            }
        }
        return contents;
    }

  private:
    TempFolder folder_;
};

TEST(MergeBases, JoinsTextAndRenumbersTheIndex) {
    // An old index line a, b, c, 7, 1201, 95 behind ten new lines and 5,000
    // bytes of new text.
    Base newBase;
    for (int line = 0; line < 10; ++line) {
        newBase.index += "t\ta\td\t" + std::to_string(line) + "\t" +
                         std::to_string(1 + 500 * line) + "\t500\r\n";
    }
    newBase.data = std::string(5000, 'n');
    const Base oldBase{std::string(1295, 'o'), "a\tb\tc\t7\t1201\t95\r\n"};
    MergeFolder folder;
    folder.Write("FORUM3N", newBase);
    folder.Write("FORUM3", oldBase);

    EXPECT_EQ(folder.Merge("FORUM3N", "FORUM3"), Outcome::MergeFinished);

    const Base merged = folder.Read("FORUM3");
    EXPECT_EQ(merged.data, newBase.data + oldBase.data + "\r\n");
    EXPECT_EQ(merged.index, newBase.index + "a\tb\tc\t10\t6201\t95\r\n");
    const std::map<std::string, std::string> expected = {
        {"FORUM3N.DAT", newBase.data}, {"FORUM3N.IDX", newBase.index},
        {"FORUM3.DAT", merged.data},   {"FORUM3.IDX", merged.index},
        {"FORUM3.DA_", oldBase.data},  {"FORUM3.ID_", oldBase.index},
    };
    EXPECT_EQ(folder.Contents(), expected);
}

TEST(MergeBases, EdgeCasesOfTheInputBases) {
    const Base two = MakeBase({"one", "two"});
    const Base three = MakeBase({"x", "y", "z"});
    // Behind the two new records the old ones are numbered from 2 and moved
    // by the new text's size.
    const Base threeBehindTwo = MakeBase({"x", "y", "z"}, 2, two.data.size() + 1);
    struct Case {
        const char* name;
        Base newBase;
        Base oldBase;
        Base merged;
    };
    const Case cases[] = {
        {"empty new base", {"", ""}, MakeBase({"one", "two"}, 4), {two.data + "\r\n", two.index}},
        {"empty old base", two, {"", ""}, {two.data + "\r\n", two.index}},
        {"both empty", {"", ""}, {"", ""}, {"\r\n", ""}},
        {"two and three",
         two,
         three,
         {two.data + three.data + "\r\n", two.index + threeBehindTwo.index}},
        {"lines without a final line end",
         {two.data, two.index + "three\tA\tD\t2\t9"},
         {three.data, three.index + "w\tA"},
         {two.data + three.data + "\r\n", two.index + threeBehindTwo.index}},
    };
    for (const Case& c : cases) {
        MergeFolder folder;
        folder.Write("NEW", c.newBase);
        folder.Write("OLD", c.oldBase);
        EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished) << c.name;
        const Base merged = folder.Read("OLD");
        EXPECT_EQ(merged.data, c.merged.data) << c.name;
        EXPECT_EQ(merged.index, c.merged.index) << c.name;
        EXPECT_EQ(folder.Read("NEW").data, c.newBase.data) << c.name;
        EXPECT_EQ(folder.Read("NEW").index, c.newBase.index) << c.name;
    }
}

TEST(MergeBases, MergedBasesMergeAgainEitherWay) {
    MergeFolder folder;
    folder.Write("A", MakeBase({"a1", "a2"}));
    folder.Write("B", MakeBase({"b1"}));
    folder.Write("C", MakeBase({"c1", "c2"}));
    ASSERT_EQ(folder.Merge("A", "B"), Outcome::MergeFinished);
    // B is now a merged base with a trailing CR LF; as the new base...
    ASSERT_EQ(folder.Merge("B", "C"), Outcome::MergeFinished);
    // ...and as the old one.
    folder.Write("D", MakeBase({"d1"}));
    ASSERT_EQ(folder.Merge("D", "C"), Outcome::MergeFinished);

    const std::vector<std::string> expected = {Record("d1"), Record("a1"), Record("a2"),
                                               Record("b1"), Record("c1"), Record("c2")};
    const Base merged = folder.Read("C");
    EXPECT_EQ(RecordsOf(merged), expected);
    EXPECT_EQ(merged.data, Record("d1") + Record("a1") + Record("a2") + Record("b1") + "\r\n" +
                               Record("c1") + Record("c2") + "\r\n\r\n");
}

TEST(MergeBases, EarlierBackupsAndWorkFilesAreReplaced) {
    MergeFolder folder;
    const Base newBase = MakeBase({"n"});
    const Base oldBase = MakeBase({"o1", "o2"});
    folder.Write("NEW", newBase);
    folder.Write("FORUM1", oldBase);
    WriteWholeFile(folder.Path("FORUM1.DA_"), "earlier backup text");
    WriteWholeFile(folder.Path("FORUM1.ID_"), "earlier\tbackup\r\n");
    // Left by an interrupted merge, longer than what is written now.
    WriteWholeFile(folder.Path("FORUM1.tmD"), std::string(100000, 's'));
    WriteWholeFile(folder.Path("FORUM1.tmI"), std::string(100000, 's'));

    ASSERT_EQ(folder.Merge("NEW", "FORUM1"), Outcome::MergeFinished);

    const Base merged = folder.Read("FORUM1");
    EXPECT_EQ(merged.data, newBase.data + oldBase.data + "\r\n");
    EXPECT_EQ(merged.index,
              newBase.index + MakeBase({"o1", "o2"}, 1, newBase.data.size() + 1).index);
    const std::map<std::string, std::string> expected = {
        {"NEW.DAT", newBase.data},    {"NEW.IDX", newBase.index},   {"FORUM1.DAT", merged.data},
        {"FORUM1.IDX", merged.index}, {"FORUM1.DA_", oldBase.data}, {"FORUM1.ID_", oldBase.index},
    };
    EXPECT_EQ(folder.Contents(), expected);
}

// Only looking may have happened: existence, identity, the folder lock and
// reads.
bool OnlyLooked(const std::vector<FileOperation>& operations) {
    return std::all_of(operations.begin(), operations.end(), [](FileOperation operation) {
        return operation == FileOperation::Exists || operation == FileOperation::Open ||
               operation == FileOperation::Read || operation == FileOperation::Size ||
               operation == FileOperation::Identity || operation == FileOperation::LockFolder;
    });
}

// Over 128 KiB of text, so that the text is compared in several pieces.
constexpr int kLargeBaseRecords = 2000;
Base LargeBase() {
    std::vector<std::string> topics;
    for (int topic = 0; topic < kLargeBaseRecords; ++topic) {
        std::string name = "n";
        name += std::to_string(topic);
        topics.push_back(name);
    }
    return MakeBase(topics);
}

TEST(MergeBases, TheSameNewBaseIsNeverMergedTwice) {
    const Base small = MakeBase({"n1", "n2"});
    const Base large = LargeBase();
    ASSERT_GT(large.data.size(), 128u * 1024);
    // Text after the last line end is no line, and a merge drops it.
    const Base partialLine{small.data, small.index + "n3\tA"};
    for (const Base& newBase : {small, large, partialLine}) {
        MergeFolder folder;
        folder.Write("NEW", newBase);
        folder.Write("OLD", MakeBase({"o1", "o2"}));
        ASSERT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished);
        const auto once = folder.Contents();
        FaultyFileSystem files(PlatformFileSystem());

        EXPECT_EQ(folder.Merge(files, "NEW", "OLD"), Outcome::AlreadyMerged);
        EXPECT_EQ(folder.Contents(), once); // .DA_ and .ID_ still hold the first old base
        EXPECT_TRUE(OnlyLooked(files.operations()));
    }
}

// Only the whole new base at the start of the old one counts as merged
// before; anything less merges as usual.
TEST(MergeBases, ANewBaseOnlyPartlyInTheOldOneMerges) {
    const Base large = LargeBase();
    const Base oldLines = MakeBase({"o"}, kLargeBaseRecords, large.data.size() + 1);
    std::string lastByteDiffers = large.data;
    lastByteDiffers.back() ^= 1;
    const Base otherLastLine = MakeBase({"o", "p"});
    struct Case {
        const char* name;
        Base newBase;
        Base oldBase;
    };
    const Case cases[] = {
        {"empty new base", {"", ""}, MakeBase({"o"})},
        {"new base without a whole line", {"", "n1\tA"}, {"", "n1\tA\tD\t0\t1\t0\r\n"}},
        {"text differs in its last byte",
         large,
         {lastByteDiffers + Record("o"), large.index + oldLines.index}},
        {"old text shorter", large, {large.data.substr(1), large.index + oldLines.index}},
        {"index differs in its last line",
         MakeBase({"o", "q"}),
         {MakeBase({"o", "q"}).data, otherLastLine.index}},
    };
    for (const Case& c : cases) {
        MergeFolder folder;
        folder.Write("NEW", c.newBase);
        folder.Write("OLD", c.oldBase);
        EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished) << c.name;
        EXPECT_EQ(folder.Read("OLD").data, c.newBase.data + c.oldBase.data + "\r\n") << c.name;
        EXPECT_EQ(ReadWholeFile(folder.Path("OLD.DA_")), c.oldBase.data) << c.name;
        EXPECT_EQ(ReadWholeFile(folder.Path("OLD.ID_")), c.oldBase.index) << c.name;
    }
}

TEST(MergeBases, MissingInputTouchesNothing) {
    for (const char* missing : {"NEW.DAT", "NEW.IDX", "OLD.DAT", "OLD.IDX"}) {
        MergeFolder folder;
        folder.Write("NEW", MakeBase({"n"}));
        folder.Write("OLD", MakeBase({"o"}));
        std::filesystem::remove(folder.Path(missing));
        const auto before = folder.Contents();
        FaultyFileSystem files(PlatformFileSystem());

        EXPECT_EQ(folder.Merge(files, "NEW", "OLD"), Outcome::FileMissing) << missing;
        EXPECT_EQ(folder.Contents(), before) << missing;
        EXPECT_TRUE(OnlyLooked(files.operations())) << missing;
    }
}

TEST(MergeBases, OldIndexWithoutRecordPositionsIsRefused) {
    const std::string badLines[] = {
        "t\tA\tD\t0\r\n",
        "t\tA\tD\t0\t\t9\r\n",
        "t\tA\tD\t0\t1x\t9\r\n",
        "t\tA\tD\t0\t+1\t9\r\n",
    };
    for (const std::string& line : badLines) {
        MergeFolder folder;
        folder.Write("NEW", MakeBase({"n"}));
        const Base oldBase = MakeBase({"o"});
        folder.Write("OLD", {oldBase.data, oldBase.index + line});
        const auto before = folder.Contents();
        FaultyFileSystem files(PlatformFileSystem());

        EXPECT_EQ(folder.Merge(files, "NEW", "OLD"), Outcome::MergeFailed) << line;
        EXPECT_EQ(folder.Contents(), before) << line;
        EXPECT_TRUE(OnlyLooked(files.operations())) << line;
    }
}

// Paths whose names would overlap, or lead to one file, are refused before
// anything is touched.
TEST(MergeBases, PathsThatNameOneFileTwiceAreRefused) {
    struct Case {
        const char* newPath;
        const char* oldPath;
    };
    const Case cases[] = {
        {"NEW.DAT", "OLD.DA_"},        {"NEW.DAT", "OLD.ID_"}, {"NEW.DAT", "OLD.tmD"},
        {"NEW.DAT", "OLD.tmI"},        {"NEW.DAT", "OLD.IDX"}, {"NEW.DAT", "OLD.da_"},
        {"OLD.DA_", "OLD.DAT"},        {"old.da_", "OLD.DAT"}, {"OLD.DAT", "OLD.DAT"},
        {"OLD.DAT", "sub/../OLD.DAT"}, {"NEW.DAT", "sub/x/y"}, {"NEW.DAT", "sub/OLD"},
    };
    for (const Case& c : cases) {
        MergeFolder folder;
        std::filesystem::create_directories(folder.Path("sub/x"));
        for (const char* name : {"NEW", "OLD", "sub/x/y"}) {
            folder.Write(name, MakeBase({name}));
        }
        // A backup pair from an earlier merge, and files named like the
        // backups and work files, as the cases need them.
        for (const char* name : {"OLD.DA_", "OLD.ID_", "OLD.tmD", "OLD.tmI", "OLD.da_", "old.da_",
                                 "old.IDX", "sub/x/IDX", "sub/IDX", "sub/OLD"}) {
            WriteWholeFile(folder.Path(name), std::string("file ") + name);
        }
        const auto before = folder.Contents();
        FaultyFileSystem files(PlatformFileSystem());
        EXPECT_EQ(MergeBases(files, folder.Path(c.newPath), folder.Path(c.oldPath)),
                  Outcome::MergeFailed)
            << c.newPath << " into " << c.oldPath;
        EXPECT_EQ(folder.Contents(), before) << c.newPath << " into " << c.oldPath;
        EXPECT_TRUE(OnlyLooked(files.operations())) << c.newPath << " into " << c.oldPath;
    }
}

#ifndef _WIN32
TEST(MergeBases, LinksToTheOldBaseOrItsBackupAreRefused) {
    const char* links[][2] = {
        {"SELF.DAT", "OLD.DAT"},
        {"SELF.IDX", "OLD.IDX"}, // the old base under another name
        {"BACK.DAT", "OLD.DA_"},
        {"BACK.IDX", "OLD.ID_"}, // its backup
    };
    for (const bool hard : {false, true}) {
        MergeFolder folder;
        folder.Write("OLD", MakeBase({"o"}));
        const Base backup = MakeBase({"b"});
        WriteWholeFile(folder.Path("OLD.DA_"), backup.data);
        WriteWholeFile(folder.Path("OLD.ID_"), backup.index);
        for (const auto& [link, target] : links) {
            if (hard) {
                std::filesystem::create_hard_link(folder.Path(target), folder.Path(link));
            } else {
                std::filesystem::create_symlink(folder.Path(target), folder.Path(link));
            }
        }
        const auto before = folder.Contents();
        EXPECT_EQ(folder.Merge("SELF", "OLD"), Outcome::MergeFailed) << hard;
        EXPECT_EQ(folder.Merge("BACK", "OLD"), Outcome::MergeFailed) << hard;
        EXPECT_EQ(folder.Contents(), before) << hard;
    }
}

TEST(MergeBases, LinksPlantedAsWorkFilesAreReplacedNotWrittenThrough) {
    const TempFolder outside;
    WriteWholeFile(outside.Path("victim.txt"), "keep me");
    MergeFolder folder;
    const Base newBase = MakeBase({"n"});
    const Base oldBase = MakeBase({"o"});
    folder.Write("NEW", newBase);
    folder.Write("OLD", oldBase);
    std::filesystem::create_symlink(outside.Path("victim.txt"), folder.Path("OLD.tmD"));
    std::filesystem::create_symlink(outside.Path("nowhere.txt"), folder.Path("OLD.tmI"));

    ASSERT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished);
    EXPECT_EQ(ReadWholeFile(outside.Path("victim.txt")), "keep me");
    EXPECT_FALSE(std::filesystem::exists(outside.Path("nowhere.txt")));
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Path("OLD.DAT")));
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Path("OLD.IDX")));
    EXPECT_EQ(folder.Read("OLD").data, newBase.data + oldBase.data + "\r\n");
}
#endif

TEST(MergeBases, ASecondRunInTheFolderIsRefusedUntouched) {
    MergeFolder folder;
    folder.Write("NEW", MakeBase({"n"}));
    folder.Write("OLD", MakeBase({"o"}));
    const auto before = folder.Contents();
    {
        const auto otherRun = PlatformFileSystem().LockFolder(FolderOfPath(folder.Path("OLD")));
        ASSERT_TRUE(otherRun.lock);
        EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::FolderBusy);
        EXPECT_EQ(folder.Contents(), before);
    }
    EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished);
}

struct OneMerge {
    std::map<std::string, std::string> folder; // what it leaves
    std::size_t operations;                    // file operations it takes
    std::size_t firstRename;                   // after every look, read and write
};

struct MergeSetup {
    Base newBase = MakeBase({"n1", "n2"});
    Base oldBase = MakeBase({"o1", "o2", "o3"});

    void Prepare(MergeFolder& folder) const {
        folder.Write("NEW", newBase);
        folder.Write("OLD", oldBase);
        WriteWholeFile(folder.Path("OLD.DA_"), "earlier backup text");
        WriteWholeFile(folder.Path("OLD.ID_"), "earlier\tbackup\r\n");
    }

    OneMerge MergeOnce() const {
        MergeFolder folder;
        Prepare(folder);
        FaultyFileSystem files(PlatformFileSystem());
        EXPECT_EQ(folder.Merge(files, "NEW", "OLD"), Outcome::MergeFinished);
        const std::vector<FileOperation>& done = files.operations();
        const auto rename = std::find(done.begin(), done.end(), FileOperation::Rename);
        return {folder.Contents(), done.size(),
                static_cast<std::size_t>(rename - done.begin()) + 1};
    }
};

TEST(MergeBases, AnyFailedOperationLeavesTheOldBaseWhole) {
    const MergeSetup setup;
    const OneMerge once = setup.MergeOnce();
    ASSERT_GT(once.operations, 20u);

    for (std::size_t failing = 1; failing <= once.operations; ++failing) {
        SCOPED_TRACE("operation " + std::to_string(failing));
        MergeFolder folder;
        setup.Prepare(folder);
        const auto before = folder.Contents();
        FaultyFileSystem files(PlatformFileSystem(), static_cast<int>(failing));
        const Outcome outcome = folder.Merge(files, "NEW", "OLD");

        // A look that fails can only make the merge see less; what it then
        // does must still be whole.
        if (outcome == Outcome::MergeFinished) {
            EXPECT_EQ(folder.Contents(), once.folder);
            continue;
        }
        EXPECT_TRUE(outcome == Outcome::FileMissing || outcome == Outcome::MergeFailed)
            << OutcomeCode(outcome);
        const Base oldAfter = folder.Read("OLD");
        EXPECT_EQ(oldAfter.data, setup.oldBase.data);
        EXPECT_EQ(oldAfter.index, setup.oldBase.index);
        const Base newAfter = folder.Read("NEW");
        EXPECT_EQ(newAfter.data, setup.newBase.data);
        EXPECT_EQ(newAfter.index, setup.newBase.index);
        EXPECT_FALSE(std::filesystem::exists(folder.Path("OLD.tmD")));
        EXPECT_FALSE(std::filesystem::exists(folder.Path("OLD.tmI")));
        // Two files cannot be replaced in one step: once the old .DAT has
        // replaced its backup, a later failure can only put it back.
        if (failing <= once.firstRename) {
            EXPECT_EQ(folder.Contents(), before);
        }
    }
}

// A merge killed at any file operation, then run again with the same
// arguments, leaves exactly what one merge leaves: never the new records
// twice, never a base the reader cannot open.
TEST(MergeBases, AMergeStoppedAnywhereIsTakenUpByTheNextOne) {
    const MergeSetup setup;
    const OneMerge once = setup.MergeOnce();

    for (std::size_t stop = 1; stop <= once.operations; ++stop) {
        SCOPED_TRACE("stopped at operation " + std::to_string(stop));
        MergeFolder folder;
        setup.Prepare(folder);
        FaultyFileSystem files(PlatformFileSystem(), static_cast<int>(stop), Fault::Stop);
        folder.Merge(files, "NEW", "OLD");

        EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFinished);
        EXPECT_EQ(folder.Contents(), once.folder);
    }
}

TEST(MergeBases, LeftoversWithoutTheirBackupsAreLeftAlone) {
    MergeFolder folder;
    folder.Write("NEW", MakeBase({"n"}));
    folder.Write("OLD", MakeBase({"o"}));
    // Stopped between the renames, then the backups were lost.
    std::filesystem::rename(folder.Path("OLD.DAT"), folder.Path("OLD.tmD"));
    WriteWholeFile(folder.Path("OLD.tmI"), "merged index");
    const auto before = folder.Contents();

    EXPECT_EQ(folder.Merge("NEW", "OLD"), Outcome::MergeFailed);
    EXPECT_EQ(folder.Contents(), before);
}

} // namespace
