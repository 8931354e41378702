// A page file read through the POSIX calls: what cannot be read, a
// regular file, and a pipe, which has no size.
#include "parser/page_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The page text of the file at `path`, as the parser reads it.
std::string ReadPageText(const char* path) {
    PageBlock block = ReadPageFile(path);
    return std::string(block.page(), PreparePage({block.page(), block.size}).size);
}

TEST(PageText, MissingFileReadsAsEmpty) {
    EXPECT_EQ(ReadPageText("/nonexistent/folder/page.html"), "");
}

TEST(PageText, FolderReadsAsEmpty) {
    EXPECT_EQ(ReadPageText("/"), "");
}

TEST(PageText, ReadsTheFileThroughTheLineRules) {
    char path[] = "/tmp/page_text_testXXXXXX";
    const int descriptor = mkstemp(path);
    ASSERT_GE(descriptor, 0);
    const std::string bytes = "x\r\ny\n" + std::string(200000, 'z') + "\r\nw";
    ASSERT_EQ(write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(descriptor);
    EXPECT_EQ(ReadPageText(path), "xy\n" + std::string(200000, 'z') + "w");
    std::remove(path);
}

TEST(PageText, AFileWhoseSizeIsNotKnownReadsWhole) {
    // A pipe has no size; the reader moves to larger blocks as bytes come,
    // as it does for a file that grows while it is read.
    char folder[] = "/tmp/page_text_testXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string pipe = std::string(folder) + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string bytes = "a\r\nb" + std::string(300000, 'c') + "\x1A" + "d";
    std::thread writer([&] {
        std::FILE* file = std::fopen(pipe.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    });
    EXPECT_EQ(ReadPageText(pipe.c_str()), "ab" + std::string(300000, 'c'));
    writer.join();
    std::remove(pipe.c_str());
    std::remove(folder);
}

} // namespace
