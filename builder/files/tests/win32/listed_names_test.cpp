// The folder search under Windows: names the ANSI code page (1251 here)
// cannot hold, and paths longer than MAX_PATH, still reach the program with
// a name to sort and show and a path of bytes that opens the file.
#include "builder/files/file_system.h"
#include "builder/files/tests/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

namespace {

std::string ReadAll(FileSystem& files, const std::string& path) {
    const std::unique_ptr<DiskFile> file = files.Open(path, OpenMode::Read, Sharing::Shared);
    std::string bytes;
    char buffer[256];
    for (int64_t count; file && (count = file->Read(buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

// The path in the form that lifts the length limit.
std::wstring LongForm(const TempFolder& folder, const std::wstring& name) {
    return L"\\\\?\\" + folder.path().wstring() + L"\\" + name;
}

struct Case {
    std::wstring name;
    std::string listedName; // UTF-8 where the code page lacks a letter
    bool outsideCodePage;
};

TEST(Win32FileSystem, EveryNameIsListedWithAPathThatOpensIt) {
    ASSERT_EQ(GetACP(), 1251u) << "Wine needs LC_ALL=ru_RU.UTF-8";
    const std::wstring longName = L"l" + std::wstring(245, L'x') + L".html";
    const Case cases[] = {
        {L"a.html", "a.html", false},
        {L"\u0416.html", "\xC6.html", false},
        {longName, "l" + std::string(245, 'x') + ".html", false},
        {L"\u65E5.html", "\xE6\x97\xA5.html", true},
        {L"\U0001F600.html", "\xF0\x9F\x98\x80.html", true},
        {L"\u00E9_\u00FC_\u00DF.html", "\xC3\xA9_\xC3\xBC_\xC3\x9F.html", true},
        {L"\u03A9_\u03C9" + std::wstring(240, L'w') + L".html",
         "\xCE\xA9_\xCF\x89" + std::string(240, 'w') + ".html", true},
    };
    const TempFolder folder;
    for (const Case& c : cases) {
        const HANDLE file = CreateFileW(LongForm(folder, c.name).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, c.listedName.data(), static_cast<DWORD>(c.listedName.size()), &written,
                  nullptr);
        CloseHandle(file);
    }

    FileSystem& files = PlatformFileSystem();
    const std::string folderPath = folder.path().string();
    std::map<std::string, ListedFile> listed;
    for (ListedFile& file : files.ListFiles(folderPath, "*.html")) {
        listed[file.name] = std::move(file);
    }
    ASSERT_EQ(listed.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listedName.substr(0, 20));
        const ListedFile& file = listed[c.listedName];
        EXPECT_EQ(file.nameOutsideCodePage, c.outsideCodePage);
        ASSERT_FALSE(file.path.empty());
        EXPECT_LT(file.path.size(), static_cast<std::size_t>(MAX_PATH));
        EXPECT_EQ(ReadAll(files, file.path), c.listedName);
        // Where a volume keeps no short names, a copy reaches the file.
        const std::string copy = files.CopyUnderPlainName(folderPath, file);
        ASSERT_FALSE(copy.empty());
        EXPECT_EQ(ReadAll(files, copy), c.listedName);
        EXPECT_TRUE(files.Delete(copy));
    }
    for (const Case& c : cases) {
        DeleteFileW(LongForm(folder, c.name).c_str());
    }
}

} // namespace
