#include "builder/files/file_system.h"
#include "builder/files/tests/invisible_file.h"
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FileSystem& files = PlatformFileSystem();

std::string ReadAll(DiskFile& file) {
    std::string bytes;
    char buffer[4];
    int64_t count;
    while ((count = file.Read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(count, 0);
    return bytes;
}

TEST(PlatformFileSystem, WritesTruncatesAndReadsBack) {
    const TempFolder folder;
    const std::string path = folder.Path("FORUM1.DAT");
    WriteWholeFile(path, "stale bytes of an earlier run");
    {
        const auto file = files.Open(path, OpenMode::CreateTruncate, Sharing::Exclusive);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->Size(), 0);
        EXPECT_TRUE(file->Write("hello world", 11));
        EXPECT_TRUE(file->Truncate(5));
        EXPECT_TRUE(file->Write("!\r\n", 3));
        EXPECT_TRUE(file->Flush());
        EXPECT_EQ(file->Size(), 8);
    }
    const auto file = files.Open(path, OpenMode::Read, Sharing::Shared);
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadAll(*file), "hello!\r\n");
    EXPECT_FALSE(files.Open(folder.Path("missing.DAT"), OpenMode::Read, Sharing::Shared));
}

TEST(PlatformFileSystem, ExclusiveOpenKeepsOthersOut) {
    const TempFolder folder;
    const std::string path = folder.Path("FORUM1.IDX");
    WriteWholeFile(path, "line\r\n");
    {
        const auto first = files.Open(path, OpenMode::Read, Sharing::Shared);
        const auto second = files.Open(path, OpenMode::Read, Sharing::Shared);
        EXPECT_TRUE(first && second);
        EXPECT_FALSE(files.Open(path, OpenMode::Read, Sharing::Exclusive));
    }
    {
        const auto owner = files.Open(path, OpenMode::Read, Sharing::Exclusive);
        ASSERT_TRUE(owner);
        EXPECT_FALSE(files.Open(path, OpenMode::Read, Sharing::Shared));
        EXPECT_FALSE(files.Open(path, OpenMode::CreateTruncate, Sharing::Exclusive));
        EXPECT_EQ(ReadAll(*owner), "line\r\n");
    }
    EXPECT_TRUE(files.Open(path, OpenMode::Read, Sharing::Exclusive));
}

// A target that only keeps what is written to it: a copy to it goes
// through the buffered copy every file has.
class MemoryFile : public DiskFile {
  public:
    int64_t Read(char*, std::size_t) override { return -1; }
    bool Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return true;
    }
    bool Flush() override { return true; }
    bool Truncate(uint64_t) override { return false; }
    int64_t Size() override { return static_cast<int64_t>(bytes.size()); }
    std::string bytes;
};

TEST(PlatformFileSystem, CopyRestToAppendsFromThePositionOn) {
    const TempFolder folder;
    std::string text(300000, '\0');
    for (std::size_t at = 0; at < text.size(); ++at) {
        text[at] = static_cast<char>(at * 7 % 251);
    }
    WriteWholeFile(folder.Path("FORUM1.DAT"), text);
    const auto source = files.Open(folder.Path("FORUM1.DAT"), OpenMode::Read, Sharing::Shared);
    ASSERT_TRUE(source);
    char skipped[10];
    ASSERT_EQ(source->Read(skipped, sizeof skipped), 10);
    {
        const auto target =
            files.Open(folder.Path("FORUM1.tmD"), OpenMode::CreateNew, Sharing::Exclusive);
        ASSERT_TRUE(target);
        ASSERT_TRUE(target->Write("head", 4));
        EXPECT_EQ(source->CopyRestTo(*target), static_cast<int64_t>(text.size() - 10));
        EXPECT_EQ(source->CopyRestTo(*target), 0) << "nothing is left behind the end";
        EXPECT_TRUE(target->Write("tail", 4));
    }
    EXPECT_EQ(ReadWholeFile(folder.Path("FORUM1.tmD")), "head" + text.substr(10) + "tail");

    const auto again = files.Open(folder.Path("FORUM1.DAT"), OpenMode::Read, Sharing::Shared);
    ASSERT_TRUE(again);
    MemoryFile memory;
    EXPECT_EQ(again->CopyRestTo(memory), static_cast<int64_t>(text.size()));
    EXPECT_EQ(memory.bytes, text);
}

TEST(PlatformFileSystem, ExistsForVisibleFilesAndFoldersOnly) {
    const TempFolder folder;
    WriteWholeFile(folder.Path("FORUM1.DAT"), "");
    std::filesystem::create_directory(folder.path() / "pages");
    const std::string hidden = MakeInvisibleFile(folder, "FORUM2.DAT", false);
    const std::string system = MakeInvisibleFile(folder, "FORUM3.DAT", true);

    EXPECT_TRUE(files.Exists(folder.Path("FORUM1.DAT")));
    EXPECT_TRUE(files.Exists(folder.Path("pages")));
    EXPECT_FALSE(files.Exists(folder.Path("FORUM4.DAT")));
    EXPECT_FALSE(files.Exists(folder.Path("nowhere") + "/FORUM1.DAT"));
    EXPECT_FALSE(files.Exists(hidden));
    EXPECT_FALSE(files.Exists(system));
}

TEST(PlatformFileSystem, ListsVisiblePlainFilesMatchingThePattern) {
    const TempFolder folder;
    for (const char* name : {"a.html", "B.HTML", "c.htm", "d.html.bak", "e.txt"}) {
        WriteWholeFile(folder.Path(name), "x");
    }
    std::filesystem::create_directory(folder.path() / "f.html");
    MakeInvisibleFile(folder, "g.html", false);
    MakeInvisibleFile(folder, "h.html", true);
    std::vector<std::string> expected = {"B.HTML", "a.html"};
#ifndef _WIN32
    // A link counts as what it leads to.
    std::filesystem::create_symlink(folder.Path("a.html"), folder.Path("i.html"));
    std::filesystem::create_symlink(folder.Path("f.html"), folder.Path("j.html"));
    expected.push_back("i.html");
#endif

    std::vector<std::string> names;
    for (const ListedFile& file : files.ListFiles(folder.path().string(), "*.html")) {
        EXPECT_EQ(file.path, FolderWithSeparator(folder.path().string()) + file.name);
        EXPECT_FALSE(file.nameOutsideCodePage);
        names.push_back(file.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(files.ListFiles(folder.Path("nowhere"), "*.html").empty());
}

TEST(PlatformFileSystem, RenameKeepsOrReplacesAnExistingTarget) {
    const TempFolder folder;
    const std::string data = folder.Path("FORUM1.DAT");
    const std::string backup = folder.Path("FORUM1.DA_");
    WriteWholeFile(data, "new");
    WriteWholeFile(backup, "old");

    EXPECT_FALSE(files.Rename(data, backup, RenameMode::KeepExisting));
    EXPECT_EQ(ReadWholeFile(data), "new");
    EXPECT_EQ(ReadWholeFile(backup), "old");

    EXPECT_TRUE(files.Rename(data, backup, RenameMode::Replace));
    EXPECT_FALSE(std::filesystem::exists(data));
    EXPECT_EQ(ReadWholeFile(backup), "new");

    EXPECT_TRUE(files.Rename(backup, data, RenameMode::KeepExisting));
    EXPECT_EQ(ReadWholeFile(data), "new");
    EXPECT_TRUE(files.Delete(data));
    EXPECT_FALSE(files.Delete(data));
}

TEST(PlatformFileSystem, CreateNewRefusesAnyExistingName) {
    const TempFolder folder;
    const std::string work = folder.Path("FORUM1.tmD");
    WriteWholeFile(work, "stale");
    EXPECT_FALSE(files.Open(work, OpenMode::CreateNew, Sharing::Exclusive));
    EXPECT_EQ(ReadWholeFile(work), "stale");
#ifndef _WIN32
    // A link planted under the name is never written through.
    const std::string outside = folder.Path("outside.txt");
    WriteWholeFile(outside, "keep");
    const std::string link = folder.Path("FORUM1.tmI");
    std::filesystem::create_symlink(outside, link);
    EXPECT_FALSE(files.Open(link, OpenMode::CreateNew, Sharing::Exclusive));
    const std::string dangling = folder.Path("FORUM2.tmI");
    std::filesystem::create_symlink(folder.Path("nowhere.txt"), dangling);
    EXPECT_FALSE(files.Open(dangling, OpenMode::CreateNew, Sharing::Exclusive));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("nowhere.txt")));
    EXPECT_EQ(ReadWholeFile(outside), "keep");
#endif
    EXPECT_TRUE(files.Delete(work));
    const auto created = files.Open(work, OpenMode::CreateNew, Sharing::Exclusive);
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->Write("merged", 6));
}

TEST(PlatformFileSystem, IdentityFollowsAliasesAndTellsFilesApart) {
    const TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    WriteWholeFile(folder.Path("FORUM1.DAT"), "one");
    WriteWholeFile(folder.Path("FORUM2.DAT"), "two");
    const auto one = files.Identity(folder.Path("FORUM1.DAT"));
    ASSERT_TRUE(one);
    EXPECT_EQ(files.Identity(folder.Path("sub/../FORUM1.DAT")), one);
#ifdef _WIN32
    EXPECT_EQ(files.Identity(folder.Path("forum1.dat")), one);
#else
    std::filesystem::create_hard_link(folder.Path("FORUM1.DAT"), folder.Path("hard.DAT"));
    std::filesystem::create_symlink(folder.Path("FORUM1.DAT"), folder.Path("soft.DAT"));
    EXPECT_EQ(files.Identity(folder.Path("hard.DAT")), one);
    EXPECT_EQ(files.Identity(folder.Path("soft.DAT")), one);
#endif
    EXPECT_NE(files.Identity(folder.Path("FORUM2.DAT")), one);
    EXPECT_NE(files.Identity(folder.Path("sub")), one);
    EXPECT_FALSE(files.Identity(folder.Path("FORUM3.DAT")));
}

TEST(PlatformFileSystem, AFolderLockKeepsSecondRunsOutUntilReleased) {
    const TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    const std::string base = folder.path().string();
    {
        const FolderLockAttempt held = files.LockFolder(base);
        ASSERT_TRUE(held.lock);
        // Any spelling of the same folder finds it held, and says so.
        const FolderLockAttempt second = files.LockFolder(base);
        EXPECT_FALSE(second.lock);
        EXPECT_TRUE(second.busy);
        EXPECT_FALSE(files.LockFolder(FolderOfPath(folder.Path("FORUM1.DAT"))).lock);
        EXPECT_FALSE(files.LockFolder(folder.Path("sub/..")).lock);
        EXPECT_TRUE(files.LockFolder(folder.Path("sub")).lock);
    }
    EXPECT_TRUE(files.LockFolder(base).lock);
    // Nothing to guard in a folder that is not there.
    const auto nowhere = files.LockFolder(folder.Path("nowhere"));
    EXPECT_TRUE(nowhere.lock);
    EXPECT_TRUE(files.LockFolder(folder.Path("nowhere")).lock);
}

TEST(PlatformFileSystem, FolderWithSeparatorKeepsAnExistingOne) {
    EXPECT_EQ(FolderWithSeparator("C:\\pages\\"), "C:\\pages\\");
    EXPECT_EQ(FolderWithSeparator("/tmp/pages/"), "/tmp/pages/");
#ifdef _WIN32
    EXPECT_EQ(FolderWithSeparator("C:\\pages"), "C:\\pages\\");
#else
    EXPECT_EQ(FolderWithSeparator("/tmp/pages"), "/tmp/pages/");
#endif
}

} // namespace
