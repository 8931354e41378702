// zeltran.exe end to end, in a real window on a desktop of its own: the
// driver clicks the rounded buttons with the mouse, reads the controls and
// the message boxes, and checks the files the program leaves behind.
#include "builder/files/file_system.h"

#include "builder/base/forum_site.h"
#include "builder/base/tests/base_check.h"
#include "builder/files/tests/whole_file.h"
#include "builder/rrbutton/round_button_messages.h"
#include "builder/shell/tests/screen_capture.h"
#include "builder/shell/tests/zeltran_session.h"
#include "common/win32/kernel_handles.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

std::string gSamplesFolder;   // Windows path of samples/pages
std::string gAboutNotePath;   // Windows path of the resource's text
std::string gScratchRoot;     // Windows path, ends in a backslash
std::string gScreenshotsRoot; // Windows path, ends in a backslash

// The outcome messages, as the user reads them.
constexpr char kBuiltMessage[] = "Формирование базы закончено";
constexpr char kNothingToWriteMessage[] = "Нет данных для записи";
constexpr char kStoppedMessage[] = "Формирование базы прервано";
constexpr char kNoForumMessage[] = "Не корректный форум";
constexpr char kMergedMessage[] = "Объединение окончено.";
constexpr char kFileMissingMessage[] = "Ошибка! файл не существует";
constexpr char kWriteFailedMessage[] = "Ошибка записи базы";
constexpr char kMergeFailedMessage[] = "Ошибка! базы не объединены";
constexpr char kAlreadyMergedMessage[] = "Эта новая база уже есть в старой. Базы не объединены.";
constexpr char kPagesUnreadMessage[] = "Формирование базы закончено, но не все страницы прочитаны";
constexpr char kFolderBusyMessage[] =
    "Папка занята другой сборкой или объединением. Повторите позже.";

constexpr int kLockedControls[] = {1006, 1003, 1001, 1010, 1017, 1015, 1016};
constexpr int kAlwaysEnabled[] = {1008, 1009, 1012, 1031, 1004, 1030};

std::string Scratch(const std::string& name) {
    const std::string folder = gScratchRoot + name;
    MakeEmptyFolder(folder);
    return folder;
}

// Asked of the window itself: the system's copy of another process's
// window text misses what a control keeps on its own (an edit's text).
std::string Text(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Settings(const std::string& pages, const std::string& newBase,
                     const std::string& oldBase) {
    return "[PATH]\r\ngDir=" + pages + "\r\ngFilesours=" + newBase + "\r\ngFileDist=" + oldBase +
           "\r\n";
}

std::string CommandLineBuild(const std::string& pages, const std::string& options) {
    std::string line = "\"";
    line.append(ProgramsFolder())
        .append("zeltran-cli.exe\" build --pages \"")
        .append(pages)
        .append("\" --forum 3")
        .append(options);
    return line;
}

// Starts the build, waits for its outcome and checks the locked controls
// while the message is open and after it is closed.
std::string BuildAndReadOutcome(ZeltranProcess& zeltran, const char* screenshot = nullptr) {
    // Start stays disabled until the outcome message is closed.
    zeltran.ClickUntil(1001, [&] { return !IsWindowEnabled(zeltran.Control(1001)); });
    HWND box = nullptr;
    const std::string text = zeltran.WaitForMessageBox(&box);
    if (box == nullptr) {
        SaveScreenshot(gScreenshotsRoot + "failure-no-outcome.png");
    }
    EXPECT_NE(box, nullptr) << "no outcome message (screenshot failure-no-outcome.png)";
    for (const int id : kLockedControls) {
        EXPECT_FALSE(IsWindowEnabled(zeltran.Control(id)))
            << "control " << id << " unlocked too early";
    }
    for (const int id : kAlwaysEnabled) {
        EXPECT_TRUE(IsWindowEnabled(zeltran.Control(id))) << "control " << id;
    }
    if (screenshot != nullptr) {
        EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + screenshot));
    }
    EXPECT_TRUE(zeltran.CloseMessageBox(box));
    // The program unlocks the controls one by one after the box has gone.
    for (const int id : kLockedControls) {
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(zeltran.Control(id)) != FALSE; }))
            << "control " << id << " still locked";
    }
    EXPECT_TRUE(WaitUntil([&] { return zeltran.Send(1011, PBM_GETPOS) == 0; }))
        << "progress bar not emptied";
    return text;
}

void ExitWithButton(ZeltranProcess& zeltran) {
    ASSERT_TRUE(zeltran.ClickUntil(1030, [&] { return zeltran.WaitForExit(0); }))
        << "the exit button did not end the program";
    EXPECT_EQ(zeltran.ExitCode(), 0u);
}

int RecordCount(const std::string& idx) {
    return static_cast<int>(IndexLines(idx).size());
}

// A control's rectangle in its dialog's client area, in pixels.
RECT RectInWindow(HWND control, HWND dialog) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct ExpectedControl {
    int id;
    const char* className;
    const char* caption; // null: not compared
    bool tabStop;
    int x, y, width, height; // dialog units; height 0: not compared
};

const ExpectedControl kMainControls[] = {
    {1019, "RRBUTTON", kTitle, false, 75, 5, 150, 15},
    {1020, "Button", "Создание баз (*.DAT, *IDX)", false, 5, 22, 290, 163},
    {1021, "Button", "Объединение баз (*.DAT, *IDX)", false, 5, 195, 290, 105},
    {1022, "Static",
     "Путь к локальным файлам (*.html) форума \"http://www.example.com/support/forums/\"", false,
     12, 35, 266, 20},
    {1023, "Static", "Какой топик создаем ?", false, 47, 77, 103, 12},
    {1024, "Static",
     "При сборке отбирать только этот топик ? Иначе можно собрать все в одном топике. Тоже не "
     "плохо.",
     false, 20, 95, 130, 35},
    {1025, "Static", "Если дата поста ниже указанной , в сборку на попадает", false, 20, 137, 130,
     19},
    {1026, "Static", "Новая база топика (которую объединяем)", false, 10, 207, 265, 10},
    {1027, "Static", "Старая база топика (с которой объединяем)", false, 10, 233, 265, 10},
    {1028, "Static", "старый топик будет сохранен с расширениями *.DA_  и  *.ID_", false, 10, 260,
     265, 10},
    {1005, "Static", "", false, 10, 55, 255, 13},
    {1013, "Static", "", false, 10, 218, 255, 13},
    {1014, "Static", "", false, 10, 247, 255, 12},
    {1003, "ComboBox", nullptr, true, 162, 75, 125, 0},
    {1008, "Button", "Фильтр по форуму", true, 162, 100, 115, 15},
    {1009, "Button", "Дата начала", true, 162, 135, 125, 10},
    // Wine's date picker keeps no window text of its own to compare.
    {1010, "SysDateTimePick32", nullptr, true, 162, 150, 60, 12},
    {1011, "msctls_progress32", "msctls_progress32_1", false, 5, 187, 290, 5},
    {1006, "RRBUTTON", "...", true, 267, 55, 20, 12},
    {1015, "RRBUTTON", "...", true, 267, 218, 20, 12},
    {1016, "RRBUTTON", "...", true, 267, 247, 20, 11},
    {1017, "RRBUTTON", "Собрать", true, 10, 280, 55, 16},
    {1001, "RRBUTTON", "Старт", true, 10, 164, 55, 16},
    {1012, "RRBUTTON", "Стоп", true, 66, 164, 55, 16},
    {1031, "RRBUTTON", "Стоп", true, 66, 280, 55, 16},
    {1004, "RRBUTTON", "Инфа...", true, 170, 280, 54, 16},
    {1030, "RRBUTTON", "Выход", true, 230, 280, 55, 16},
};

TEST(ZeltranWindow, FirstStartShowsTheControlsInTabOrderAndSavesEmptySettings) {
    ASSERT_EQ(GetACP(), 1251u) << "Wine must run with LC_ALL=ru_RU.UTF-8";
    const std::string folder = Scratch("first-start");
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started()) << "no main window";
    EXPECT_EQ(Text(zeltran.MainWindow()), kTitle);

    std::vector<HWND> children;
    for (HWND child = GetWindow(zeltran.MainWindow(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), std::size(kMainControls));
    // Dialog units measured on the first group box, which spans 290 x 163.
    const RECT group = RectInWindow(zeltran.Control(1020), zeltran.MainWindow());
    const double unitX = (group.right - group.left) / 290.0;
    const double unitY = (group.bottom - group.top) / 163.0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& expected = kMainControls[i];
        SCOPED_TRACE("control " + std::to_string(expected.id));
        char className[64] = {};
        GetClassNameA(children[i], className, sizeof className);
        EXPECT_EQ(GetDlgCtrlID(children[i]), expected.id);
        EXPECT_STRCASEEQ(className, expected.className);
        if (expected.caption != nullptr) {
            EXPECT_EQ(Text(children[i]), expected.caption);
        }
        const RECT rect = RectInWindow(children[i], zeltran.MainWindow());
        EXPECT_NEAR(rect.left, expected.x * unitX, 2.0);
        EXPECT_NEAR(rect.top, expected.y * unitY, 2.0);
        EXPECT_NEAR(rect.right - rect.left, expected.width * unitX, 2.0);
        if (expected.height != 0) {
            EXPECT_NEAR(rect.bottom - rect.top, expected.height * unitY, 2.0);
        }
        const LONG style = GetWindowLongA(children[i], GWL_STYLE);
        EXPECT_EQ((style & WS_TABSTOP) != 0, expected.tabStop);
        EXPECT_TRUE(IsWindowVisible(children[i]));
        EXPECT_TRUE(IsWindowEnabled(children[i]));
    }
    ASSERT_EQ(zeltran.Send(1003, CB_GETCOUNT), kSectionCount);
    EXPECT_EQ(zeltran.Send(1003, CB_GETCURSEL), 0);
    // The titles read back through the combo box's edit field, which shows
    // the selected one.
    const HWND comboEdit = GetWindow(zeltran.Control(1003), GW_CHILD);
    EXPECT_EQ(Text(comboEdit), kSectionTitles[0]);
    for (int i = kSectionCount - 1; i >= 0; --i) {
        zeltran.Send(1003, CB_SETCURSEL, i);
        EXPECT_EQ(Text(comboEdit), kSectionTitles[i]);
    }
    EXPECT_EQ(zeltran.Send(1008, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(zeltran.Send(1009, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(zeltran.Send(1011, PBM_GETPOS), 0);
    EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + "main-window.png"));

    ExitWithButton(zeltran);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), Settings("", "", ""));
}

TEST(ZeltranWindow, BuildWritesTheSameBaseAsTheCommandLineWithAndWithoutFilters) {
    const std::string folder = Scratch("build");
    const std::string pages = folder + "\\pages";
    const std::string reference = folder + "\\reference";
    MakeEmptyFolder(pages);
    MakeEmptyFolder(reference);
    CopySamplePages(gSamplesFolder, pages);
    CopySamplePages(gSamplesFolder, reference);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    EXPECT_EQ(Text(zeltran.Control(1005)), pages);
    zeltran.Send(1003, CB_SETCURSEL, 2); // forum 3

    // A Stop press with no build running is cleared by the next build.
    zeltran.Click(1031);
    EXPECT_EQ(BuildAndReadOutcome(zeltran, "message-box.png"), kBuiltMessage);
    ASSERT_EQ(RunProgram(CommandLineBuild(reference, "")), 0);
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.DAT"), ReadWholeFile(reference + "\\FORUM3.DAT"));
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.IDX"), ReadWholeFile(reference + "\\FORUM3.IDX"));

    zeltran.Send(1008, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kBuiltMessage);
    ASSERT_EQ(RunProgram(CommandLineBuild(reference, " --forum-filter")), 0);
    const std::string filteredIndex = ReadWholeFile(pages + "\\FORUM3.IDX");
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.DAT"), ReadWholeFile(reference + "\\FORUM3.DAT"));
    EXPECT_EQ(filteredIndex, ReadWholeFile(reference + "\\FORUM3.IDX"));

    // The picker starts at today: every sample thread is older.
    zeltran.Send(1009, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kNothingToWriteMessage);
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.IDX"), "");

    // A section typed into the combo box, not chosen from its list.
    zeltran.Send(1003, CB_SETCURSEL, static_cast<WPARAM>(-1));
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kNoForumMessage);
    ExitWithButton(zeltran);
}

std::wstring WideOf(const std::string& path) {
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(
                          CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

// Saved pages are named after their threads' titles, in letters code page
// 1251 may lack, and a long name can take the full path over MAX_PATH. The
// window and the command line build every page, into the records that plain
// names in the same place of the order give: names outside the code page
// follow all others.
TEST(ZeltranWindow, PagesWithAnyNameOrPathLengthAreAllBuilt) {
    const std::string folder = Scratch("names");
    const std::string pages = folder + "\\pages";
    const std::string sameNames = folder + "\\cli";
    const std::string plainNames = folder + "\\plain";
    const struct {
        const char* sample;
        std::wstring name;
        const char* plainName;
    } kPages[] = {
        {"t1023.html", L"l" + std::wstring(245, L'x') + L".html", "e.html"},
        {"t1024.html", L"\U0001F600.html", "d.html"},
        {"t1016.html", L"\u65E5.html", "c.html"},
        {"t1022.html", L"\u03A9_\u03C9.html", "b.html"},
        {"t1019.html", L"\u00E9_\u00FC_\u00DF.html", "a.html"},
    };
    for (const std::string& target : {pages, sameNames, plainNames}) {
        MakeEmptyFolder(target);
    }
    for (const auto& page : kPages) {
        const std::string sample = gSamplesFolder + "\\" + page.sample;
        for (const std::string& target : {pages, sameNames}) {
            const std::wstring path = L"\\\\?\\" + WideOf(target) + L"\\" + page.name;
            ASSERT_TRUE(CopyFileW(WideOf(sample).c_str(), path.c_str(), FALSE));
        }
        CopyFileA(sample.c_str(), (plainNames + "\\" + page.plainName).c_str(), FALSE);
    }
    ASSERT_GT(pages.size() + 1 + 250, static_cast<std::size_t>(MAX_PATH));
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kBuiltMessage);
    ExitWithButton(zeltran);
    ASSERT_EQ(RunProgram(CommandLineBuild(sameNames, "")), 0);
    ASSERT_EQ(RunProgram(CommandLineBuild(plainNames, "")), 0);
    const std::string idx = ReadWholeFile(pages + "\\FORUM3.IDX");
    EXPECT_EQ(RecordCount(idx), 5);
    for (const std::string& built : {sameNames, plainNames}) {
        EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.DAT"), ReadWholeFile(built + "\\FORUM3.DAT"))
            << built;
        EXPECT_EQ(idx, ReadWholeFile(built + "\\FORUM3.IDX")) << built;
    }
}

// A page another program holds locked cannot be read: the build takes the
// others and says that not every page was read, and so does the command line.
TEST(ZeltranWindow, ALockedPageEndsTheBuildWithPagesUnread) {
    const std::string folder = Scratch("locked-page");
    const std::string pages = folder + "\\pages";
    MakeEmptyFolder(pages);
    CopySamplePages(gSamplesFolder, pages);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    const OwnedHandle locked(CreateFileA((pages + "\\t1024.html").c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked.valid());
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kPagesUnreadMessage);
    EXPECT_EQ(RecordCount(ReadWholeFile(pages + "\\FORUM3.IDX")), 9);
    ExitWithButton(zeltran);
    EXPECT_EQ(RunProgram(CommandLineBuild(pages, "")), 4);
}

// A folder of `count` copies of one accepted thread page.
std::string ManyPages(const std::string& folder, int count) {
    const std::string pages = folder + "\\pages";
    MakeEmptyFolder(pages);
    const std::string page = gSamplesFolder + "\\t1016.html";
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\p%05d.html", i);
        CopyFileA(page.c_str(), (pages + name).c_str(), FALSE);
    }
    return pages;
}

// 5,000 pages in `folder` and settings pointing at them; returns the pages folder.
std::string PrepareLongBuild(const std::string& folder) {
    const std::string pages = ManyPages(folder, 5000);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    return pages;
}

// Chooses the third section and presses Start until the progress bar moves.
bool StartBuildOfDatabases(ZeltranProcess& zeltran) {
    zeltran.Send(1003, CB_SETCURSEL, 2);
    return zeltran.ClickUntil(1001, [&] { return zeltran.Send(1011, PBM_GETPOS) > 0; });
}

TEST(ZeltranWindow, StopEndsALongBuildAndLeavesAConsistentBase) {
    const std::string folder = Scratch("stop");
    const std::string pages = PrepareLongBuild(folder);
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    ASSERT_TRUE(StartBuildOfDatabases(zeltran)) << "the build did not start";
    HWND box = nullptr;
    EXPECT_EQ(zeltran.ClickForMessage(1012, &box), kStoppedMessage);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_TRUE(WaitUntil([&] { return zeltran.Send(1011, PBM_GETPOS) == 0; }));
    const std::string idx = ReadWholeFile(pages + "\\FORUM3.IDX");
    EXPECT_GT(RecordCount(idx), 0);
    EXPECT_LT(RecordCount(idx), 5000);
    ExpectBaseConsistent(ReadWholeFile(pages + "\\FORUM3.DAT"), idx);
    ExitWithButton(zeltran);
}

TEST(ZeltranWindow, ExitDuringABuildStopsItThenEndsAndSavesTheSettings) {
    const std::string folder = Scratch("exit-during-build");
    const std::string pages = PrepareLongBuild(folder);
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    ASSERT_TRUE(StartBuildOfDatabases(zeltran)) << "the build did not start";
    ASSERT_TRUE(zeltran.ClickUntil(1030, [&] { return zeltran.WaitForExit(0); }))
        << "the program did not end";
    EXPECT_EQ(zeltran.ExitCode(), 0u);
    const std::string idx = ReadWholeFile(pages + "\\FORUM3.IDX");
    EXPECT_LT(RecordCount(idx), 5000);
    ExpectBaseConsistent(ReadWholeFile(pages + "\\FORUM3.DAT"), idx);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), Settings(pages, "", ""));
}

TEST(ZeltranWindow, CloseRequestWhileTheOutcomeIsShownEndsTheWindowOnceItIsClosed) {
    const std::string folder = Scratch("close-at-outcome");
    const std::string pages = folder + "\\pages";
    MakeEmptyFolder(pages);
    CopySamplePages(gSamplesFolder, pages);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);
    HWND box = nullptr;
    ASSERT_EQ(zeltran.ClickForMessage(1001, &box), kBuiltMessage);
    // As another program or the task manager asks: the request waits for
    // the outcome to be read, then ends the window.
    PostMessageA(zeltran.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    ASSERT_TRUE(zeltran.WaitForExit()) << "the close request was lost";
    EXPECT_EQ(zeltran.ExitCode(), 0u);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), Settings(pages, "", ""));
}

TEST(ZeltranWindow, MergeJoinsTheNewBaseInFrontAndEmptyFieldsFindNoFile) {
    const std::string folder = Scratch("merge");
    {
        ZeltranProcess zeltran(folder);
        ASSERT_TRUE(zeltran.Started());
        HWND box = nullptr;
        EXPECT_EQ(zeltran.ClickForMessage(1017, &box), kFileMissingMessage);
        ASSERT_TRUE(zeltran.CloseMessageBox(box));
        ExitWithButton(zeltran);
    }
    const std::string newBase = folder + "\\new";
    const std::string oldBase = folder + "\\old";
    MakeEmptyFolder(newBase);
    MakeEmptyFolder(oldBase);
    CopySamplePages(gSamplesFolder, newBase);
    CopySamplePages(gSamplesFolder, oldBase);
    ASSERT_EQ(RunProgram(CommandLineBuild(newBase, "")), 0);
    ASSERT_EQ(RunProgram(CommandLineBuild(oldBase, " --forum-filter")), 0);
    const std::string newDat = ReadWholeFile(newBase + "\\FORUM3.DAT");
    const std::string oldDat = ReadWholeFile(oldBase + "\\FORUM3.DAT");
    const std::string oldIdx = ReadWholeFile(oldBase + "\\FORUM3.IDX");
    const int records = RecordCount(ReadWholeFile(newBase + "\\FORUM3.IDX")) + RecordCount(oldIdx);
    WriteWholeFile(folder + "\\prog.ini",
                   Settings("", newBase + "\\FORUM3.DAT", oldBase + "\\FORUM3.DAT"));

    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    HWND box = nullptr;
    EXPECT_EQ(zeltran.ClickForMessage(1017, &box), kMergedMessage);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.DA_"), oldDat);
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.ID_"), oldIdx);
    const std::string mergedDat = ReadWholeFile(oldBase + "\\FORUM3.DAT");
    // The merge ends the joined data with CR LF, behind the last record.
    EXPECT_EQ(mergedDat, newDat + oldDat + "\r\n");
    const std::string mergedIdx = ReadWholeFile(oldBase + "\\FORUM3.IDX");
    ExpectBaseConsistent(mergedDat.substr(0, mergedDat.size() - 2), mergedIdx);
    EXPECT_EQ(RecordCount(mergedIdx), records);
    ExitWithButton(zeltran);
}

// Another program working in the folders (here the driver, holding them as
// a build or a merge does) makes the build and the merge refuse, untouched.
TEST(ZeltranWindow, BuildAndMergeRefuseWhileAnotherRunWorksInTheirFolder) {
    const std::string folder = Scratch("busy-folders");
    const std::string pages = folder + "\\pages";
    const std::string oldBase = folder + "\\old";
    MakeEmptyFolder(pages);
    MakeEmptyFolder(oldBase);
    CopySamplePages(gSamplesFolder, pages);
    CopySamplePages(gSamplesFolder, oldBase);
    ASSERT_EQ(RunProgram(CommandLineBuild(pages, "")), 0);
    ASSERT_EQ(RunProgram(CommandLineBuild(oldBase, " --forum-filter")), 0);
    const std::string newDat = pages + "\\FORUM3.DAT";
    const std::string oldDat = oldBase + "\\FORUM3.DAT";
    const std::string built = ReadWholeFile(newDat);
    const std::string old = ReadWholeFile(oldDat);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, newDat, oldDat));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);
    {
        const auto pagesBusy = PlatformFileSystem().LockFolder(pages);
        const auto oldBaseBusy = PlatformFileSystem().LockFolder(oldBase);
        ASSERT_TRUE(pagesBusy.lock && oldBaseBusy.lock);
        EXPECT_EQ(BuildAndReadOutcome(zeltran), kFolderBusyMessage);
        HWND box = nullptr;
        EXPECT_EQ(zeltran.ClickForMessage(1017, &box), kFolderBusyMessage);
        ASSERT_TRUE(zeltran.CloseMessageBox(box));
        std::string merge = "\"";
        merge.append(ProgramsFolder()).append("zeltran-cli.exe\" merge \"").append(newDat);
        merge.append("\" \"").append(oldDat).append("\"");
        EXPECT_EQ(RunProgram(merge), 5);
        EXPECT_EQ(ReadWholeFile(newDat), built);
        EXPECT_EQ(ReadWholeFile(oldDat), old);
        EXPECT_FALSE(FileExists(oldBase + "\\FORUM3.DA_"));
    }
    HWND box = nullptr;
    EXPECT_EQ(zeltran.ClickForMessage(1017, &box), kMergedMessage);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_EQ(ReadWholeFile(oldDat), built + old + "\r\n");
    ExitWithButton(zeltran);
}

// The reader may hold the .DAT open without sharing it: the build, from the
// window and from the command line, cannot replace it and leaves the
// previous pair as it was, with no work file beside it.
TEST(ZeltranWindow, BuildKeepsThePreviousPairWhileAnotherProgramHoldsTheDataFile) {
    const std::string folder = Scratch("held-data-file");
    const std::string pages = folder + "\\pages";
    MakeEmptyFolder(pages);
    CopySamplePages(gSamplesFolder, pages);
    // Fewer records than the build makes, so a replaced pair would show.
    ASSERT_EQ(RunProgram(CommandLineBuild(pages, " --forum-filter --since 2005-12-10")), 0);
    const std::string data = ReadWholeFile(pages + "\\FORUM3.DAT");
    const std::string index = ReadWholeFile(pages + "\\FORUM3.IDX");
    ASSERT_EQ(RecordCount(index), 4);
    WriteWholeFile(folder + "\\prog.ini", Settings(pages, "", ""));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);
    {
        const OwnedHandle held(CreateFileA((pages + "\\FORUM3.DAT").c_str(), GENERIC_READ, 0,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.valid());
        EXPECT_EQ(BuildAndReadOutcome(zeltran), kWriteFailedMessage);
        EXPECT_EQ(RunProgram(CommandLineBuild(pages, "")), 1);
    }
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.DAT"), data);
    EXPECT_EQ(ReadWholeFile(pages + "\\FORUM3.IDX"), index);
    for (const char* workFile : {"FORUM3.nwD", "FORUM3.nwI", "FORUM3.owI"}) {
        EXPECT_FALSE(FileExists(pages + "\\" + workFile)) << workFile;
    }
    EXPECT_EQ(BuildAndReadOutcome(zeltran), kBuiltMessage);
    EXPECT_EQ(RecordCount(ReadWholeFile(pages + "\\FORUM3.IDX")), 10);
    ExitWithButton(zeltran);
}

// A merge stopped by a crash while it renamed: the old .DAT is in its
// backup and the work files are still there. The next merge puts the old
// base back and merges once.
TEST(ZeltranWindow, MergeAfterAnInterruptedOneMergesOnce) {
    const std::string folder = Scratch("interrupted-merge");
    const std::string pages = folder + "\\pages";
    MakeEmptyFolder(pages);
    CopySamplePages(gSamplesFolder, pages);
    ASSERT_EQ(RunProgram(CommandLineBuild(pages, "")), 0);
    const std::string newDat = pages + "\\FORUM3.DAT";
    const std::string oldDat = folder + "\\FORUM3.DAT";
    const std::string built = ReadWholeFile(newDat);
    const std::string old = "'MESSAGE old\n\n";
    WriteWholeFile(folder + "\\FORUM3.DA_", old);
    WriteWholeFile(folder + "\\FORUM3.IDX", "old\tA\tD\t0\t1\t14\r\n");
    WriteWholeFile(folder + "\\FORUM3.tmD", "half of a merged text");
    WriteWholeFile(folder + "\\FORUM3.tmI", "");
    WriteWholeFile(folder + "\\prog.ini", Settings("", newDat, oldDat));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    HWND box = nullptr;
    EXPECT_EQ(zeltran.ClickForMessage(1017, &box), kMergedMessage);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_EQ(ReadWholeFile(oldDat), built + old + "\r\n");
    EXPECT_EQ(ReadWholeFile(folder + "\\FORUM3.DA_"), old);
    EXPECT_FALSE(FileExists(folder + "\\FORUM3.tmD"));
    EXPECT_FALSE(FileExists(folder + "\\FORUM3.tmI"));
    ExitWithButton(zeltran);
}

// Enter held on the focused control `id`: one key-down, then the keyboard's
// repeats (bit 30 set) every 40 ms, each where the keyboard sends it at that
// moment, for as long as the outcome takes to show and 16 repeats more.
// Returns the outcome box, still open when the repeats did not close it.
HWND HoldEnter(const ZeltranProcess& zeltran, int id, std::string& outcome) {
    EXPECT_TRUE(zeltran.TabTo(id)) << "Tab never reached control " << id;
    constexpr LPARAM kRepeat = 1 | (LPARAM{1} << 30);
    zeltran.PostKey(WM_KEYDOWN, VK_RETURN, 1);
    for (int repeat = 0; repeat < 500 && zeltran.OtherDialogs().empty(); ++repeat) {
        Sleep(40);
        zeltran.PostKey(WM_KEYDOWN, VK_RETURN, kRepeat);
    }
    HWND box = nullptr;
    outcome = zeltran.WaitForMessageBox(&box);
    for (int repeat = 0; repeat < 16; ++repeat) {
        Sleep(40);
        zeltran.PostKey(WM_KEYDOWN, VK_RETURN, kRepeat);
    }
    zeltran.PostKey(WM_KEYUP, VK_RETURN, 1 | (LPARAM{3} << 30));
    EXPECT_TRUE(zeltran.PostedMessagesHandled());
    return box;
}

// Enter held on "Старт" and on "Собрать" acts once, and its repeats cannot
// close the outcome before it is read; the focus stays where the keyboard
// user left it. Pressed again, "Собрать" finds the new base merged already.
TEST(ZeltranWindow, AHeldEnterBuildsOrMergesOnceAndTheOutcomeWaits) {
    const std::string folder = Scratch("held-enter");
    const std::string pages = folder + "\\pages";
    const std::string oldBase = folder + "\\old";
    MakeEmptyFolder(pages);
    MakeEmptyFolder(oldBase);
    CopySamplePages(gSamplesFolder, pages);
    CopySamplePages(gSamplesFolder, oldBase);
    ASSERT_EQ(RunProgram(CommandLineBuild(oldBase, " --forum-filter")), 0);
    const std::string oldDat = ReadWholeFile(oldBase + "\\FORUM3.DAT");
    const std::string oldIdx = ReadWholeFile(oldBase + "\\FORUM3.IDX");
    WriteWholeFile(folder + "\\prog.ini",
                   Settings(pages, pages + "\\FORUM3.DAT", oldBase + "\\FORUM3.DAT"));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    zeltran.Send(1003, CB_SETCURSEL, 2);

    std::string outcome;
    HWND box = HoldEnter(zeltran, 1001, outcome);
    EXPECT_EQ(outcome, kBuiltMessage);
    ASSERT_TRUE(IsWindow(box)) << "the repeats closed the build's outcome";
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_TRUE(WaitUntil([&] { return zeltran.KeyboardTarget() == zeltran.Control(1001); }))
        << "the focus did not go back to Start";
    const std::string newDat = ReadWholeFile(pages + "\\FORUM3.DAT");
    const std::string newIdx = ReadWholeFile(pages + "\\FORUM3.IDX");
    ASSERT_GT(RecordCount(newIdx), 0);

    box = HoldEnter(zeltran, 1017, outcome);
    EXPECT_EQ(outcome, kMergedMessage);
    ASSERT_TRUE(IsWindow(box)) << "the repeats closed the merge's outcome";
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    const std::string mergedDat = ReadWholeFile(oldBase + "\\FORUM3.DAT");
    const std::string mergedIdx = ReadWholeFile(oldBase + "\\FORUM3.IDX");
    EXPECT_EQ(mergedDat, newDat + oldDat + "\r\n");
    EXPECT_EQ(mergedIdx.substr(0, newIdx.size()), newIdx);
    EXPECT_EQ(RecordCount(mergedIdx), RecordCount(newIdx) + RecordCount(oldIdx));
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.DA_"), oldDat);
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.ID_"), oldIdx);

    // A fresh press: the merge is refused and nothing changes.
    ASSERT_TRUE(WaitUntil([&] { return zeltran.KeyboardTarget() == zeltran.Control(1017); }));
    zeltran.PostKey(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(zeltran.WaitForMessageBox(&box), kAlreadyMergedMessage);
    ASSERT_TRUE(zeltran.CloseMessageBox(box));
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.DAT"), mergedDat);
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.IDX"), mergedIdx);
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.DA_"), oldDat);
    EXPECT_EQ(ReadWholeFile(oldBase + "\\FORUM3.ID_"), oldIdx);
    ExitWithButton(zeltran);
}

TEST(ZeltranWindow, AboutBoxTakesTheFocusOnItsCloseButtonAndCloses) {
    const std::string folder = Scratch("about");
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    HWND about = nullptr;
    ASSERT_TRUE(zeltran.ClickUntil(1004, [&] {
        for (HWND dialog : zeltran.OtherDialogs()) {
            if (GetDlgItem(dialog, 305) != nullptr) {
                about = dialog;
            }
        }
        return about != nullptr;
    })) << "no about box";
    EXPECT_FALSE(IsWindowEnabled(zeltran.MainWindow()));
    const HWND close = GetDlgItem(about, 305);
    EXPECT_EQ(Text(close), "Закрыть");
    const HWND banner = GetDlgItem(about, 299);
    EXPECT_EQ(Text(banner), kTitle);
    EXPECT_NE(GetDlgItem(banner, 300), nullptr) << "the credit line sits inside the banner";
    const std::string note = ReadWholeFile(gAboutNotePath);
    std::string shown(note.size() + 16, '\0');
    shown.resize(
        static_cast<std::size_t>(SendMessageA(GetDlgItem(about, 1001), WM_GETTEXT, shown.size(),
                                              reinterpret_cast<LPARAM>(shown.data()))));
    EXPECT_EQ(shown, note);
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    EXPECT_TRUE(WaitUntil([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &focus) &&
               focus.hwndFocus == close;
    })) << "the focus is not on the close button";
    EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + "about-box.png"));
    EXPECT_TRUE(ClickUntil(close, [&] { return !IsWindow(about); }))
        << "the about box did not close";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(zeltran.MainWindow()) != FALSE; }));
    ExitWithButton(zeltran);
}

constexpr int kRoundButtons[] = {1006, 1015, 1016, 1017, 1001, 1012, 1031, 1004, 1030};

// The pixels of a window's client area as the screen shows them, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool operator==(const Picture& other) const { return pixels == other.pixels; }
};

Picture PictureOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* bgr = static_cast<const uint8_t*>(bits);
    for (int i = 0; bits != nullptr && i < picture.width * picture.height; ++i) {
        picture.pixels.push_back(RGB(bgr[4 * i + 2], bgr[4 * i + 1], bgr[4 * i]));
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// Where the pixels of `color` are in a rectangle of the picture.
struct Area {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1; // inclusive
    int count = 0;
};

Area FindColor(const Picture& picture, COLORREF color, RECT within) {
    Area area;
    for (int y = std::max(0L, within.top); y < std::min<LONG>(picture.height, within.bottom); ++y) {
        for (int x = std::max(0L, within.left); x < std::min<LONG>(picture.width, within.right);
             ++x) {
            if (picture.At(x, y) == color) {
                area.left = std::min(area.left, x);
                area.top = std::min(area.top, y);
                area.right = std::max(area.right, x);
                area.bottom = std::max(area.bottom, y);
                ++area.count;
            }
        }
    }
    return area;
}

RECT Whole(const Picture& picture) {
    return {0, 0, picture.width, picture.height};
}

// The control's picture once it shows its caption in `color` and two reads
// agree: the program paints on its own time, later under load.
Picture SettledPicture(HWND control, COLORREF color) {
    Picture last = PictureOf(control);
    WaitUntil([&] {
        Picture now = PictureOf(control);
        const bool settled = now == last && FindColor(now, color, Whole(now)).count > 0;
        last = std::move(now);
        return settled;
    });
    return last;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// The user's "always show keyboard cues" setting off, as Windows ships it,
// for the life of the value; the previous setting comes back after.
class KeyboardCuesHidden {
  public:
    KeyboardCuesHidden() {
        SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &previous_, 0);
        Set(FALSE);
    }
    ~KeyboardCuesHidden() { Set(previous_); }
    KeyboardCuesHidden(const KeyboardCuesHidden&) = delete;
    KeyboardCuesHidden& operator=(const KeyboardCuesHidden&) = delete;

  private:
    static void Set(BOOL shown) {
        SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(INT_PTR{shown}),
                              SPIF_UPDATEINIFILE);
    }
    BOOL previous_ = FALSE;
};

TEST(ZeltranWindow, KeyboardUserSeesTheFocusOnEveryRoundedButtonAndAMouseUserDoesNot) {
    const KeyboardCuesHidden cues;
    ZeltranProcess zeltran(Scratch("focus-cue"));
    ASSERT_TRUE(zeltran.Started());
    SetCursorPos(2, 2);
    std::vector<Picture> plain;
    for (const int id : kRoundButtons) {
        plain.push_back(SettledPicture(zeltran.Control(id), GetSysColor(COLOR_BTNTEXT)));
    }
    const auto looksPlain = [&](std::size_t i) {
        return PictureOf(zeltran.Control(kRoundButtons[i])) == plain[i];
    };

    // A click gives the focus but shows no cue.
    const HWND stop = zeltran.Control(1012);
    ASSERT_TRUE(zeltran.ClickUntil(1012, [&] { return FocusOf(stop) == stop; }));
    SetCursorPos(2, 2);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_TRUE(WaitUntil([&] { return looksPlain(i); }, 10000))
            << "button " << kRoundButtons[i] << " changed after a mouse click";
    }

    // From the first Tab on, the focused button shows it, and only that one.
    std::set<int> cueSeen;
    HWND focus = stop;
    for (int press = 0; press < 30 && cueSeen.size() < plain.size(); ++press) {
        PressKey(VK_TAB);
        const HWND before = focus;
        ASSERT_TRUE(WaitUntil([&] { return (focus = FocusOf(stop)) != before; }, 5000))
            << "Tab did not move the focus";
        for (std::size_t i = 0; i < plain.size(); ++i) {
            const HWND button = zeltran.Control(kRoundButtons[i]);
            if (button == focus) {
                EXPECT_TRUE(WaitUntil([&] { return !looksPlain(i); }, 10000))
                    << "no focus cue on button " << kRoundButtons[i];
                cueSeen.insert(kRoundButtons[i]);
                if (kRoundButtons[i] == 1001) {
                    EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + "keyboard-focus.png"));
                }
            } else {
                EXPECT_TRUE(WaitUntil([&] { return looksPlain(i); }, 10000))
                    << "button " << kRoundButtons[i] << " shows a cue without the focus";
            }
        }
    }
    EXPECT_EQ(cueSeen.size(), plain.size());
    ExitWithButton(zeltran);
}

// The screen's pixel density of the prefix's user (the value Wine and
// Windows read at a program's start) for the life of the value.
class PixelDensity {
  public:
    explicit PixelDensity(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof previous_;
        hadValue_ = RegQueryValueExA(key_, kValue, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
        RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~PixelDensity() {
        if (hadValue_) {
            RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                           sizeof previous_);
        } else {
            RegDeleteValueA(key_, kValue);
        }
        RegCloseKey(key_);
    }
    PixelDensity(const PixelDensity&) = delete;
    PixelDensity& operator=(const PixelDensity&) = delete;

  private:
    static constexpr char kValue[] = "LogPixels";
    HKEY key_ = nullptr;
    DWORD previous_ = 0;
    bool hadValue_ = false;
};

int Scaled(int pixels, int dpi) {
    return (pixels * dpi * 2 + 96) / 192;
}

// Nothing of a caption is cut: its pixels keep clear of the control's edges.
void ExpectCaptionInside(const Picture& picture, COLORREF color, const char* what) {
    const Area text = FindColor(picture, color, Whole(picture));
    EXPECT_GT(text.count, 0) << what << ": no caption";
    EXPECT_GT(text.left, 0) << what;
    EXPECT_GT(text.top, 0) << what;
    EXPECT_LT(text.right, picture.width - 1) << what;
    EXPECT_LT(text.bottom, picture.height - 1) << what;
}

TEST(ZeltranWindow, AtEveryPixelDensityTheWindowsAreTheSamePictureLarger) {
    const COLORREF navy = RGB(0, 0, 128);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF iconPage = RGB(255, 255, 187);
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const PixelDensity density(static_cast<DWORD>(dpi));
        ZeltranProcess zeltran(Scratch("dpi-" + std::to_string(dpi)));
        ASSERT_TRUE(zeltran.Started());
        SetCursorPos(2, 2);
        RECT frame{};
        GetWindowRect(zeltran.MainWindow(), &frame);
        std::printf("main window at %d DPI: %ld x %ld pixels\n", dpi, frame.right - frame.left,
                    frame.bottom - frame.top);
        for (const int id : kRoundButtons) {
            const COLORREF text = GetSysColor(COLOR_BTNTEXT);
            ExpectCaptionInside(SettledPicture(zeltran.Control(id), text), text,
                                ("button " + std::to_string(id)).c_str());
        }
        ExpectCaptionInside(SettledPicture(zeltran.Control(1019), navy), navy, "title banner");
        if (dpi == 144) {
            EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + "main-window-144dpi.png"));
        }

        HWND about = nullptr;
        ASSERT_TRUE(zeltran.ClickUntil(1004, [&] {
            for (HWND dialog : zeltran.OtherDialogs()) {
                about = GetDlgItem(dialog, 305) != nullptr ? dialog : about;
            }
            return about != nullptr;
        })) << "no about box";
        const HWND banner = GetDlgItem(about, 299);
        const HWND credit = GetDlgItem(banner, 300);
        ASSERT_NE(credit, nullptr);
        Picture picture;
        EXPECT_TRUE(WaitUntil([&] {
            picture = PictureOf(banner);
            return FindColor(picture, red, Whole(picture)).count > 0;
        })) << "the banner's title is not shown";
        RECT creditRect = RectInWindow(credit, banner);
        EXPECT_EQ(creditRect.left, Scaled(40, dpi));
        EXPECT_EQ(creditRect.top, Scaled(20, dpi));
        EXPECT_EQ(creditRect.bottom - creditRect.top, Scaled(18, dpi));
        // The title ends above the credit line, with a clear row between.
        const Area title = FindColor(picture, red, Whole(picture));
        EXPECT_LT(title.bottom, creditRect.top - 1);
        EXPECT_GE(title.top, Scaled(5, dpi));
        ExpectCaptionInside(SettledPicture(credit, navy), navy, "credit line");
        // The icon's page, drawn from the image that fits, at the scaled
        // place and size.
        const int side = Scaled(25, dpi);
        const int at = Scaled(10, dpi);
        const Area page = FindColor(picture, iconPage, {0, 0, creditRect.left, picture.height});
        EXPECT_NEAR(page.left, at + 7 * side / 32, 2);
        EXPECT_NEAR(page.top, at + 5 * side / 32, 2);
        EXPECT_NEAR(page.right, at + 24 * side / 32, 2);
        EXPECT_NEAR(page.bottom, at + 26 * side / 32, 2);
        if (dpi == 144) {
            EXPECT_TRUE(SaveScreenshot(gScreenshotsRoot + "about-box-144dpi.png"));
        }

        // New system colours or settings reach every rounded button, nested
        // ones too: a button told otherwise follows the system again.
        SendMessageA(credit, RBM_SETSYSTEMCOLORS, 1, 0);
        SendMessageA(about, WM_SETTINGCHANGE, 0, 0);
        EXPECT_EQ(SendMessageA(credit, RBM_GETSYSTEMCOLORS, 0, 0), 0);

        const HWND close = GetDlgItem(about, 305);
        EXPECT_TRUE(ClickUntil(close, [&] { return !IsWindow(about); }));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(zeltran.MainWindow()) != FALSE; }));
        ExitWithButton(zeltran);
    }
}

// Processor time the program takes while nobody uses it, over 3 seconds,
// with the mouse away from its buttons (a button under the mouse watches it
// on a timer, as it must).
ULONGLONG IdleCpuMs(const ZeltranProcess& zeltran) {
    SetCursorPos(2, 2);
    Sleep(1000); // paints and the last hover tick
    const ULONGLONG before = zeltran.CpuTimeMs();
    Sleep(3000);
    return zeltran.CpuTimeMs() - before;
}

TEST(ZeltranWindow, TheIdleWindowAndAboutBoxTakeNoProcessorTime) {
    const std::string folder = Scratch("idle");
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    EXPECT_LT(IdleCpuMs(zeltran), 50u) << "the main window's loop is busy";
    HWND about = nullptr;
    ASSERT_TRUE(zeltran.ClickUntil(1004, [&] {
        const std::vector<HWND> dialogs = zeltran.OtherDialogs();
        about = dialogs.empty() ? nullptr : dialogs.front();
        return about != nullptr;
    })) << "no about box";
    EXPECT_LT(IdleCpuMs(zeltran), 50u) << "the about box's loop is busy";
    // A close request from outside while the box is open ends the program.
    PostMessageA(zeltran.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(zeltran.WaitForExit());
    EXPECT_EQ(zeltran.ExitCode(), 0u);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), Settings("", "", ""));
}

HWND OpenPicker(const ZeltranProcess& zeltran, int button) {
    HWND picker = nullptr;
    zeltran.ClickUntil(button, [&] {
        const std::vector<HWND> dialogs = zeltran.OtherDialogs();
        picker = dialogs.empty() ? nullptr : dialogs.front();
        return picker != nullptr;
    });
    return picker;
}

TEST(ZeltranWindow, CancellingEachPickerLeavesItsFieldAsItWas) {
    const std::string folder = Scratch("pickers-cancelled");
    const std::string settings =
        Settings("C:\\pages", "C:\\new\\FORUM3.DAT", "C:\\old\\FORUM3.DAT");
    WriteWholeFile(folder + "\\prog.ini", settings);
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    const int pickers[][2] = {{1006, 1005}, {1015, 1013}, {1016, 1014}};
    for (const auto& [picker, field] : pickers) {
        SCOPED_TRACE("picker " + std::to_string(picker));
        const std::string before = Text(zeltran.Control(field));
        const HWND dialog = OpenPicker(zeltran, picker);
        ASSERT_NE(dialog, nullptr) << "the picker did not open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the picker did not close";
        EXPECT_EQ(Text(zeltran.Control(field)), before);
    }
    ExitWithButton(zeltran);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), settings);
}

TEST(ZeltranWindow, CloseBoxSavesAPickedFileAndALongPathWhole) {
    const std::string folder = Scratch("close-box");
    const std::string longPath = std::string("C:\\").append(195, 'p').append(".d");
    ASSERT_EQ(longPath.size(), 200u);
    WriteWholeFile(folder + "\\prog.ini", Settings(longPath, "", ""));
    WriteWholeFile(folder + "\\FORUM3.DAT", "'MESSAGE x\n");
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    EXPECT_EQ(Text(zeltran.Control(1005)), longPath);

    // The file picker opens in the program folder: a name alone picks it.
    const HWND dialog = OpenPicker(zeltran, 1016);
    ASSERT_NE(dialog, nullptr) << "the file picker did not open";
    const HWND nameBox =
        GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
    ASSERT_NE(nameBox, nullptr);
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("FORUM3.DAT"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the file picker did not close";
    const std::string picked = folder + "\\FORUM3.DAT";
    EXPECT_TRUE(WaitUntil([&] { return Text(zeltran.Control(1014)) == picked; }))
        << "field 1014 holds \"" << Text(zeltran.Control(1014)) << "\"";

    PostMessageA(zeltran.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(zeltran.WaitForExit()) << "the close box did not end the program";
    EXPECT_EQ(zeltran.ExitCode(), 0u);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"), Settings(longPath, "", picked));
}

// APPDATA for the programs the driver starts while it lives: the user's
// folder of the settings.
class AppDataFolder {
  public:
    explicit AppDataFolder(const std::string& folder) {
        char previous[MAX_PATH] = {};
        GetEnvironmentVariableA("APPDATA", previous, sizeof previous);
        previous_ = previous;
        SetEnvironmentVariableA("APPDATA", folder.c_str());
    }
    ~AppDataFolder() { SetEnvironmentVariableA("APPDATA", previous_.c_str()); }

  private:
    std::string previous_;
};

void SetPathFields(const ZeltranProcess& zeltran, const std::string& pages,
                   const std::string& newBase, const std::string& oldBase) {
    zeltran.Send(1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pages.c_str()));
    zeltran.Send(1013, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(newBase.c_str()));
    zeltran.Send(1014, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(oldBase.c_str()));
}

std::string PathFields(const ZeltranProcess& zeltran) {
    return Settings(Text(zeltran.Control(1005)), Text(zeltran.Control(1013)),
                    Text(zeltran.Control(1014)));
}

// Wine, run as root here, writes read-only files and folders all the same;
// a folder named prog.ini, or a prog.ini that another program holds open
// without letting others write, it does refuse, as Windows refuses a
// protected program folder or a read-only prog.ini.
TEST(ZeltranWindow, SettingsGoToTheUserFolderWhereTheProgramFolderTakesNone) {
    const std::string given = Settings("C:\\given", "", "");
    const std::string chosen = Settings("C:\\pages", "C:\\new\\FORUM3.DAT", "C:\\old\\FORUM3.DAT");
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "prog.ini held open" : "a folder in the place of prog.ini");
        const std::string folder = Scratch(held ? "settings-held" : "settings-closed");
        const std::string appData = folder + "\\appdata";
        const AppDataFolder userFolder(appData);
        MakeEmptyFolder(appData);
        MakeEmptyFolder(folder + "\\program");
        const std::string programIni = folder + "\\program\\prog.ini";
        if (held) {
            WriteWholeFile(programIni, given);
        } else {
            CreateDirectoryA(programIni.c_str(), nullptr);
        }
        const OwnedHandle holder(held ? CreateFileA(programIni.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                                    nullptr)
                                      : nullptr);
        ASSERT_EQ(holder.valid(), held);
        {
            ZeltranProcess zeltran(folder + "\\program");
            ASSERT_TRUE(zeltran.Started());
            EXPECT_EQ(PathFields(zeltran), held ? given : Settings("", "", ""));
            SetPathFields(zeltran, "C:\\pages", "C:\\new\\FORUM3.DAT", "C:\\old\\FORUM3.DAT");
            ExitWithButton(zeltran);
        }
        EXPECT_EQ(ReadWholeFile(appData + "\\ZELTRAN\\prog.ini"), chosen);
        if (held) {
            EXPECT_EQ(ReadWholeFile(programIni), given);
        }
        ZeltranProcess again(folder + "\\program");
        ASSERT_TRUE(again.Started());
        EXPECT_EQ(PathFields(again), chosen);
        ExitWithButton(again);
    }
}

TEST(ZeltranWindow, SessionEndSavesThePathsAndLeavesTheWindow) {
    const std::string folder = Scratch("session-end");
    WriteWholeFile(folder + "\\prog.ini", Settings("C:\\given", "", ""));
    ZeltranProcess zeltran(folder);
    ASSERT_TRUE(zeltran.Started());
    SetPathFields(zeltran, "C:\\pages", "C:\\new\\FORUM3.DAT", "");
    EXPECT_EQ(SendMessageA(zeltran.MainWindow(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(zeltran.MainWindow(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadWholeFile(folder + "\\prog.ini"),
              Settings("C:\\pages", "C:\\new\\FORUM3.DAT", ""));
    EXPECT_TRUE(IsWindowVisible(zeltran.MainWindow()));
}

constexpr char kSettingsUnsavedMessage[] =
    "Не удалось сохранить настройки: папка программы и папка пользователя закрыты для записи.";

// A folder named prog.ini beside the program, and a file named ZELTRAN in
// the user's application-data folder.
TEST(ZeltranWindow, SettingsThatNoFileTakesAreReportedOnceBeforeTheProgramEnds) {
    const std::string folder = Scratch("settings-unsaved");
    const std::string appData = folder + "\\appdata";
    const AppDataFolder userFolder(appData);
    MakeEmptyFolder(appData);
    WriteWholeFile(appData + "\\ZELTRAN", "");
    MakeEmptyFolder(folder + "\\program");
    CreateDirectoryA((folder + "\\program\\prog.ini").c_str(), nullptr);
    for (const bool sessionEnds : {false, true}) {
        SCOPED_TRACE(sessionEnds ? "the session ends first" : "the exit button");
        ZeltranProcess zeltran(folder + "\\program");
        ASSERT_TRUE(zeltran.Started());
        HWND box = nullptr;
        if (sessionEnds) {
            PostMessageA(zeltran.MainWindow(), WM_ENDSESSION, TRUE, 0);
            EXPECT_EQ(zeltran.WaitForMessageBox(&box), kSettingsUnsavedMessage);
        } else {
            EXPECT_EQ(zeltran.ClickForMessage(1030, &box), kSettingsUnsavedMessage);
            EXPECT_FALSE(zeltran.WaitForExit(0)) << "the program ended under its message";
        }
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(zeltran.CloseMessageBox(box));
        if (sessionEnds) {
            ExitWithButton(zeltran);
        } else {
            ASSERT_TRUE(zeltran.WaitForExit());
            EXPECT_EQ(zeltran.ExitCode(), 0u);
        }
    }
    EXPECT_EQ(ReadWholeFile(appData + "\\ZELTRAN"), "");
}

// The driver works on a desktop of its own, shown as a Wine virtual desktop
// with window captions, so that the screenshots show what a person sees.
bool UseOwnDesktop() {
    constexpr char kDesktop[] = "zeltran-e2e";
    HKEY desktops = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &desktops, nullptr) == ERROR_SUCCESS) {
        constexpr char kSize[] = "1280x1024";
        RegSetValueExA(desktops, kDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(kSize),
                       sizeof kSize);
        RegCloseKey(desktops);
    }
    const HDESK desktop = CreateDesktopA(kDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    return desktop != nullptr && SetThreadDesktop(desktop);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

} // namespace

// Arguments: the sample pages folder and the about note (Linux paths).
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zeltran_window_tests SAMPLES_FOLDER ABOUT_NOTE\n");
        return 2;
    }
    gSamplesFolder = WindowsPathOf(argv[1]);
    gAboutNotePath = WindowsPathOf(argv[2]);
    gScratchRoot = FullPath(ProgramsFolder() + "..\\e2e") + "\\";
    gScreenshotsRoot = FullPath(ProgramsFolder() + "..\\screenshots") + "\\";
    CreateDirectoryA(gScreenshotsRoot.c_str(), nullptr);
    if (!UseOwnDesktop()) {
        std::fprintf(stderr, "cannot switch to a desktop of its own\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
