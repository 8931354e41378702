// zeltran-cli build as a user runs it: the built tool in a child process.
#include "builder/files/tests/temp_folder.h"
#include "builder/files/tests/whole_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct ToolRun {
    int exitStatus;
    std::string output;
};

// Standard error goes to the file `errors`.
ToolRun RunTool(const std::string& arguments, const std::string& errors = "/dev/null") {
    const std::string command = std::string(ZELTRAN_CLI) + " " + arguments + " 2>" + errors;
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, count);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string CopyOfSamples(const TempFolder& folder) {
    std::filesystem::copy(ZELTRAN_SAMPLE_PAGES, folder.path());
    return folder.path().string();
}

} // namespace

TEST(BuildCommand, ReportsOutcomeRecordsAndExitStatus) {
    TempFolder folder;
    const std::string pages = CopyOfSamples(folder);
    const struct {
        std::string arguments;
        int exitStatus;
        std::string output;
    } cases[] = {
        {"--pages " + pages + " --forum 3", 0,
         "Формирование базы закончено\noutcome 10, records 10\n"},
        {"--pages " + pages + " --forum 3 --forum-filter --since 2005-12-10", 0,
         "Формирование базы закончено\noutcome 10, records 4\n"},
        {"--pages " + pages + "/missing --forum 3", 0,
         "Нет данных для записи\noutcome 11, records 0\n"},
        {"--pages " + pages + " --forum 13", 2, "Не корректный форум\noutcome 13, records 0\n"},
        {"--pages " + pages + " --forum 0", 2, "Не корректный форум\noutcome 13, records 0\n"},
        {"--pages " + pages + " --forum -2147483648", 2,
         "Не корректный форум\noutcome 13, records 0\n"},
        {"--pages " + pages + " --forum x", 2, ""},
        {"--pages " + pages + " --forum 3 --since 2005-13-01", 2, ""},
        {"--pages " + pages + " --forum 3 --since 2021-02-29", 2, ""},
        {"--pages " + pages + " --forum 3 --since 2021-04-31", 2, ""},
        {"--pages " + pages + " --forum 3 --since 1900-02-29", 2, ""},
        {"--pages " + pages + " --forum 3 --since 2000-02-29", 0,
         "Формирование базы закончено\noutcome 10, records 10\n"},
        {"--forum 3", 2, ""},
        {"--pages " + pages + " --forum 3 --verbose", 2, ""},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunTool("build " + c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.arguments;
        EXPECT_EQ(run.output, c.output) << c.arguments;
    }
}

TEST(BuildCommand, UnwritableBaseEndsWithWriteFailure) {
    TempFolder folder;
    const std::string pages = CopyOfSamples(folder);
    std::filesystem::create_directory(folder.Path("FORUM3.DAT"));
    const ToolRun run = RunTool("build --pages " + pages + " --forum 3");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.output, "Ошибка записи базы\noutcome 16, records 0\n");
}

TEST(BuildCommand, InterruptStopsAfterACompleteRecord) {
    TempFolder folder;
    const std::string page = ReadWholeFile(std::string(ZELTRAN_SAMPLE_PAGES) + "/t1024.html");
    constexpr int kPages = 20000;
    for (int i = 0; i < kPages; ++i) {
        WriteWholeFile(folder.Path("p" + std::to_string(i) + ".html"), page);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen("/dev/null", "w", stdout);
        execl(ZELTRAN_CLI, ZELTRAN_CLI, "build", "--pages", folder.path().c_str(), "--forum", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Stop once the first records reach the data work file, while most pages
    // still wait.
    for (;;) {
        std::error_code notYet;
        const auto dataSize = std::filesystem::file_size(folder.Path("FORUM3.nwD"), notYet);
        if (!notYet && dataSize > 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);

    const std::string data = ReadWholeFile(folder.Path("FORUM3.DAT"));
    const std::string index = ReadWholeFile(folder.Path("FORUM3.IDX"));
    const std::size_t lines =
        static_cast<std::size_t>(std::count(index.begin(), index.end(), '\n'));
    const std::size_t recordLength = data.find("'MESSAGE ", 1);
    ASSERT_NE(recordLength, std::string::npos);
    EXPECT_LT(lines, static_cast<std::size_t>(kPages));
    EXPECT_EQ(data.size(), lines * recordLength);
    for (const char* workFile : {"FORUM3.nwD", "FORUM3.nwI", "FORUM3.owI"}) {
        EXPECT_FALSE(std::filesystem::exists(folder.Path(workFile))) << workFile;
    }
}

TEST(BuildCommand, ReportTellsEachPageFateAndLeavesTheBaseAsItWas) {
    TempFolder plain;
    TempFolder reported;
    for (const TempFolder* folder : {&plain, &reported}) {
        CopyOfSamples(*folder);
        WriteWholeFile(folder->Path("notes.html"), "no tables");
    }
    const std::string options = " --forum 3 --forum-filter --since 2005-12-10";
    const ToolRun withoutReport = RunTool("build --pages " + plain.path().string() + options);
    const ToolRun withReport =
        RunTool("build --pages " + reported.path().string() + options + " --report");
    EXPECT_EQ(withoutReport.output, "Формирование базы закончено\noutcome 10, records 4\n");
    EXPECT_EQ(withReport.exitStatus, 0);
    EXPECT_EQ(withReport.output, "record 0\tt1024.html\n"
                                 "record 1\tt1023.html\n"
                                 "record 2\tt1022.html\n"
                                 "other forum\tt1021.html\n"
                                 "too old\tt1020.html\n"
                                 "too old\tt1019.html\n"
                                 "too old\tt1018.html\n"
                                 "no thread link\tt1017.html\n"
                                 "too old\tt1016.html\n"
                                 "other forum\tt1015.html\n"
                                 "no thread link\tother-site.html\n"
                                 "no tables\tnotes.html\n"
                                 "record 3\tT0990.HTML\n"
                                 "pages 13, records 4, no thread link 2, other forum 2, too old 4, "
                                 "no tables 1, unread 0\n"
                                 "Формирование базы закончено\noutcome 10, records 4\n");
    for (const char* name : {"FORUM3.DAT", "FORUM3.IDX"}) {
        EXPECT_EQ(ReadWholeFile(reported.Path(name)), ReadWholeFile(plain.Path(name))) << name;
    }
}

// The pages folder renamed while the tool reads it: every page it could not
// read any more is named on standard error, and since the base cannot be put
// in place where the folder was, the outcome says nothing was written.
TEST(BuildCommand, FolderRenamedDuringTheBuildNamesItsUnreadPages) {
    TempFolder folder;
    TempFolder outputs;
    const std::filesystem::path pages = folder.path() / "pages";
    std::filesystem::create_directory(pages);
    const std::string page = std::string(ZELTRAN_SAMPLE_PAGES) + "/t1024.html";
    constexpr int kPages = 5000;
    for (int i = 0; i < kPages; ++i) {
        std::filesystem::copy_file(page, pages / ("p" + std::to_string(i) + ".html"));
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen(outputs.Path("out").c_str(), "w", stdout);
        freopen(outputs.Path("err").c_str(), "w", stderr);
        execl(ZELTRAN_CLI, ZELTRAN_CLI, "build", "--pages", pages.c_str(), "--forum", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Renamed once the run has made its index work file there, the second of
    // the two it makes before it reads the first page.
    while (!std::filesystem::exists(pages / "FORUM3.nwI")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::filesystem::rename(pages, folder.path() / "renamed");
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadWholeFile(outputs.Path("out")), "Ошибка записи базы\noutcome 16, records 0\n");
    const std::string errors = ReadWholeFile(outputs.Path("err"));
    const std::string unreadLine = "zeltran-cli: page not read: " + pages.string() + "/p";
    std::size_t unread = 0;
    for (std::size_t at = 0; (at = errors.find(unreadLine, at)) != std::string::npos; ++at) {
        ++unread;
    }
    EXPECT_GT(unread, 0u);
    EXPECT_EQ(static_cast<std::size_t>(std::count(errors.begin(), errors.end(), '\n')), unread);
}
