// parvex.dll as the builder uses it: linked through its import library,
// strings released with SysFreeString, run under Wine.
#include "parser/parvex.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <fstream>
#include <string>

namespace {

// Owns one string result; checks that it really is an OLE byte string.
class Result {
  public:
    explicit Result(BSTR text) : text_(text) {}
    ~Result() { SysFreeString(text_); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool isNull() const { return text_ == nullptr; }
    std::string bytes() const {
        return text_ == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(text_), SysStringByteLen(text_));
    }

  private:
    BSTR text_;
};

class ScratchFolder {
  public:
    ScratchFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "parvex-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& file : files_) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string file = path_ + "\\" + name;
        std::ofstream(file, std::ios::binary) << bytes;
        files_.push_back(file);
        return file;
    }

  private:
    std::string path_;
    std::vector<std::string> files_;
};

const std::string kThreadPage =
    "<html><table><tr><td><a "
    "href=\"x?a=1&thread=http://www.example.com/support/forums/3/77.html&b=2\">t</a>"
    "</td></tr></table>\r\n"
    "<TABLE><TR><TD>a1</TD><TD>b1</TD></TR><TR><TD>a2<BR>line</TD><TD>b2</TD></TR></TABLE>";

TEST(ParvexDll, RunsWithCodePage1251) {
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(ParvexDll, ParsesAPageAndReadsItBack) {
    ScratchFolder folder;
    const std::string page = folder.write("thread.html", kThreadPage);
    ASSERT_EQ(pxLoadAndParse(page.c_str()), 2);
    EXPECT_EQ(pxGetTableInfo(0, 99), 2);
    EXPECT_EQ(pxGetTableInfo(1, 2), 2);
    EXPECT_EQ(pxGetTableInfo(2, 2), 2);
    EXPECT_EQ(Result(GetLink()).bytes(), "HTTP://WWW.EXAMPLE.COM/SUPPORT/FORUMS/3/77.HTML");
    EXPECT_EQ(Result(pxReadCell(2, 2, 1)).bytes(), "a2\r\nline\r\n");
    EXPECT_EQ(Result(pxReadCell(2, 1, 2)).bytes(), "b1\r\n");
}

TEST(ParvexDll, PagesAreReadWholeWhileOthersHaveThemOpen) {
    ScratchFolder folder;
    std::string rows;
    for (int row = 0; row < 20000; ++row) {
        rows += "<TR><TD>a" + std::to_string(row) + "</TD><TD>b</TD></TR>\r\n";
    }
    const std::string page = folder.write("long.html", "<TABLE>\r\n" + rows + "</TABLE>\r\n");
    // A writer that shares the file, as a browser still saving it would.
    HANDLE writer = CreateFileA(page.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pxLoadAndParse(page.c_str()), 1);
    CloseHandle(writer);
    EXPECT_EQ(pxGetTableInfo(1, 1), 20000);
    EXPECT_EQ(Result(pxReadCell(1, 20000, 1)).bytes(), "a19999\r\n");

    char temporary[MAX_PATH];
    GetTempPathA(MAX_PATH, temporary);
    EXPECT_EQ(pxLoadAndParse(temporary), 0) << "a folder reads as an unusable page";
}

TEST(ParvexDll, ClampsTableRowAndColumn) {
    ScratchFolder folder;
    const std::string page = folder.write("thread.html", kThreadPage);
    ASSERT_EQ(pxLoadAndParse(page.c_str()), 2);
    EXPECT_EQ(Result(pxReadCell(2, 0, -5)).bytes(), "a1\r\n");
    EXPECT_EQ(Result(pxReadCell(2, 1000, 1000)).bytes(), "b2\r\n");
    EXPECT_EQ(Result(pxReadCell(5, 1000, 1000)).bytes(), "b2\r\n");
    EXPECT_EQ(pxGetTableInfo(1, 99), pxGetTableInfo(1, 2));
    EXPECT_EQ(pxGetTableInfo(1, -3), pxGetTableInfo(1, 1));
    EXPECT_EQ(pxGetTableInfo(4, 1), 0);
}

TEST(ParvexDll, EmptyResultsAreNullPointers) {
    ScratchFolder folder;
    const std::string page = folder.write("plain.html", "<TABLE>no rows</TABLE>");
    ASSERT_EQ(pxLoadAndParse(page.c_str()), 1);
    EXPECT_TRUE(Result(pxReadCell(1, 1, 1)).isNull());
    EXPECT_TRUE(Result(GetLink()).isNull());
}

TEST(ParvexDll, ASecondParseReplacesTheFirst) {
    ScratchFolder folder;
    const std::string first = folder.write("first.html", kThreadPage);
    const std::string second = folder.write("second.html", "<TABLE><TR><TD>only</TD></TR></TABLE>");
    ASSERT_EQ(pxLoadAndParse(first.c_str()), 2);
    ASSERT_EQ(pxLoadAndParse(second.c_str()), 1);
    EXPECT_TRUE(Result(GetLink()).isNull());
    EXPECT_EQ(Result(pxReadCell(2, 2, 1)).bytes(), "only\r\n");
}

TEST(ParvexDll, AFailedParseLeavesNothingOfTheGoodOne) {
    ScratchFolder folder;
    const std::string page = folder.write("thread.html", kThreadPage);
    ASSERT_EQ(pxLoadAndParse(page.c_str()), 2);
    EXPECT_EQ(pxLoadAndParse((page + ".missing").c_str()), 0);
    EXPECT_EQ(pxGetTableInfo(0, 1), -1);
    EXPECT_EQ(pxGetTableInfo(1, 1), 0);
    EXPECT_TRUE(Result(GetLink()).isNull());
    EXPECT_TRUE(Result(pxReadCell(1, 1, 1)).isNull());
}

TEST(ParvexDll, EntryRoutineFollowsTheReasonTable) {
    HMODULE library = GetModuleHandleA("parvex.dll");
    ASSERT_NE(library, nullptr);
    using EntryRoutine = int32_t(__stdcall*)(HINSTANCE, DWORD, LPVOID);
    auto entry =
        reinterpret_cast<EntryRoutine>(reinterpret_cast<void*>(GetProcAddress(library, "LIBMAIN")));
    ASSERT_NE(entry, nullptr);

    ScratchFolder folder;
    const std::string page = folder.write("thread.html", kThreadPage);
    ASSERT_EQ(pxLoadAndParse(page.c_str()), 2);
    EXPECT_EQ(entry(library, DLL_PROCESS_ATTACH, nullptr), 1);
    EXPECT_EQ(entry(library, DLL_THREAD_ATTACH, nullptr), 0);
    EXPECT_EQ(entry(library, DLL_THREAD_DETACH, nullptr), 0);
    EXPECT_EQ(pxGetTableInfo(0, 1), 2) << "thread detach must keep the tables";
    EXPECT_EQ(entry(library, DLL_PROCESS_DETACH, nullptr), 0);
    EXPECT_EQ(pxGetTableInfo(0, 1), -1) << "process detach releases the tables";
}

TEST(ParvexDll, ExportsArePlainNamesOfTheLibrary) {
    HMODULE library = GetModuleHandleA("parvex.dll");
    ASSERT_NE(library, nullptr);
    for (const char* name :
         {"pxLoadAndParse", "pxReadCell", "pxGetTableInfo", "GetLink", "LIBMAIN"}) {
        EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
    }
}

} // namespace
