#include "builder/shell/tests/zeltran_session.h"

#include "builder/files/tests/whole_file.h"
#include "builder/rrbutton/round_button_messages.h"
#include "builder/shell/tests/screen_capture.h"
#include "common/win32/kernel_handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

constexpr int kMessageTextId = 0xFFFF;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct DialogSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> ProcessDialogs(DWORD processId) {
    DialogSearch search{processId, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    FindHandle search(folder + "\\*", entry);
    if (!search.valid()) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteTree(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (search.Next(entry));
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string WindowsPathOf(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

void MakeEmptyFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('\\', 3); slash != std::string::npos;
         slash = folder.find('\\', slash + 1)) {
        CreateDirectoryA(folder.substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteTree(folder);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopySamplePages(const std::string& samplesFolder, const std::string& folder) {
    WIN32_FIND_DATAA entry;
    FindHandle search(samplesFolder + "\\*.*", entry);
    if (!search.valid()) {
        return;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CopyFileA((samplesFolder + "\\" + entry.cFileName).c_str(),
                      (folder + "\\" + entry.cFileName).c_str(), FALSE);
        }
    } while (search.Next(entry));
}

int RunProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

void ClickWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT target{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    SetCursorPos(target.x, target.y);
    // The program hit-tests a press with GetCursorPos, which Wine answers
    // from its own copy of a move for a while and then from the X server;
    // pressing before the two agree can miss the button. No message tells
    // when they agree, so the mouse rests a moment, as a hand does.
    Sleep(150);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
    }
    // Absolute coordinates run from 0 to 65535 across the screen.
    inputs[0].mi.dx = target.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    inputs[0].mi.dy = target.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

bool ClickUntil(HWND window, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ClickWindow(window);
        if (WaitUntil(done, 3000)) {
            return true;
        }
    }
    const std::string shot = ProgramsFolder() + "..\\screenshots\\failed-click-" +
                             std::to_string(GetDlgCtrlID(window)) + ".png";
    SaveScreenshot(shot);
    std::fprintf(stderr, "clicks on control %d had no effect; the screen is in %s\n",
                 GetDlgCtrlID(window), shot.c_str());
    return false;
}

ZeltranProcess::ZeltranProcess(const std::string& folder) {
    const std::string programs = ProgramsFolder();
    CopyFileA((programs + "zeltran.exe").c_str(), (folder + "\\zeltran.exe").c_str(), FALSE);
    CopyFileA((programs + "parvex.dll").c_str(), (folder + "\\parvex.dll").c_str(), FALSE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char desktop[128] = {};
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop,
                              sizeof desktop, nullptr);
    startup.lpDesktop = desktop;
    commandLine_ = folder + "\\zeltran.exe";
    std::string commandLine = "\"" + commandLine_ + "\"";
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process_)) {
        return;
    }
    WaitUntil([this] {
        for (HWND window : ProcessDialogs(process_.dwProcessId)) {
            if (GetDlgItem(window, 1019) != nullptr) {
                mainWindow_ = window;
            }
        }
        return mainWindow_ != nullptr;
    });
    // A click on a plain label makes it the active window, as a person
    // would before using it. (A press on the caption would start moving the
    // window, which then follows the mouse to the next button.)
    WaitUntil([this] {
        ClickWindow(GetDlgItem(mainWindow_, 1024));
        return WaitUntil([this] { return GetForegroundWindow() == mainWindow_; }, 1000);
    });
}

ZeltranProcess::~ZeltranProcess() {
    if (process_.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::vector<HWND> ZeltranProcess::OtherDialogs() const {
    std::vector<HWND> dialogs;
    for (HWND window : ProcessDialogs(process_.dwProcessId)) {
        if (window != mainWindow_) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

HWND ZeltranProcess::KeyboardTarget() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow_, nullptr), &thread)) {
        return nullptr;
    }
    return thread.hwndFocus != nullptr ? thread.hwndFocus : thread.hwndActive;
}

void ZeltranProcess::PostKey(UINT message, WPARAM key, LPARAM flags) const {
    // A null window would post to this driver's own thread.
    if (const HWND target = KeyboardTarget()) {
        PostMessageA(target, message, key, flags);
    }
}

bool ZeltranProcess::TabTo(int id) const {
    const HWND control = Control(id);
    for (int press = 0; press < 30; ++press) {
        const HWND focus = KeyboardTarget();
        if (focus == control) {
            return true;
        }
        PostKey(WM_KEYDOWN, VK_TAB, 1);
        PostKey(WM_KEYUP, VK_TAB, 0xC0000001);
        WaitUntil([&] { return KeyboardTarget() != focus; }, 2000);
    }
    return false;
}

// The title banner's left text margin is the marker: a value nobody else
// sets, read back by a query, and put back afterwards.
bool ZeltranProcess::PostedMessagesHandled() const {
    const HWND banner = Control(1019);
    const LRESULT margin = SendMessageA(banner, RBM_GETTEXTMARGINLEFT, 0, 0);
    PostMessageA(banner, RBM_SETTEXTMARGINLEFT, margin + 7, 0);
    const bool handled =
        WaitUntil([&] { return SendMessageA(banner, RBM_GETTEXTMARGINLEFT, 0, 0) == margin + 7; });
    SendMessageA(banner, RBM_SETTEXTMARGINLEFT, margin, 0);
    return handled;
}

namespace {

HWND MessageBoxOf(const ZeltranProcess& zeltran) {
    for (HWND window : zeltran.OtherDialogs()) {
        if (GetDlgItem(window, kMessageTextId) != nullptr && TextOf(window) == kTitle) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

std::string ZeltranProcess::ClickForMessage(int id, HWND* box) const {
    ClickUntil(id, [this] { return MessageBoxOf(*this) != nullptr; });
    return WaitForMessageBox(box);
}

std::string ZeltranProcess::WaitForMessageBox(HWND* box) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = MessageBoxOf(*this)) != nullptr; });
    if (box != nullptr) {
        *box = found;
    }
    return found != nullptr ? TextOf(GetDlgItem(found, kMessageTextId)) : std::string();
}

bool ZeltranProcess::CloseMessageBox(HWND box) const {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitUntil([box] { return !IsWindow(box); });
}

bool ZeltranProcess::WaitForExit(DWORD timeoutMs) const {
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ZeltranProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

namespace {

// The Linux process of the Windows program started as `commandLine`: Wine
// gives each its own, whose command line is the one the program was
// started with (behind the emulator's, where one runs it).
std::string LinuxProcessFolder(const std::string& commandLine) {
    WIN32_FIND_DATAA entry;
    FindHandle search("Z:\\proc\\*", entry);
    if (!search.valid()) {
        return "";
    }
    do {
        const std::string name = entry.cFileName;
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string folder = "Z:\\proc\\" + name;
        std::string started = ReadWholeFile(folder + "\\cmdline");
        std::replace(started.begin(), started.end(), '\0', ' ');
        if (started.find(commandLine) != std::string::npos) {
            return folder;
        }
    } while (search.Next(entry));
    return "";
}

} // namespace

// Wine answers GetProcessTimes for another process with nothing, so the
// time is read where Linux keeps it: fields 14 and 15 of the process's
// stat line, in hundredths of a second.
ULONGLONG ZeltranProcess::CpuTimeMs() const {
    if (linuxProcess_.empty()) {
        linuxProcess_ = LinuxProcessFolder(commandLine_);
    }
    const std::string stat = ReadWholeFile(linuxProcess_ + "\\stat");
    const std::size_t nameEnd = stat.rfind(')');
    if (linuxProcess_.empty() || nameEnd == std::string::npos) {
        ADD_FAILURE() << "cannot find the Linux process of " << commandLine_;
        return 0;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    ULONGLONG ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) {
            ticks += std::stoull(field);
        }
    }
    return ticks * 10;
}
