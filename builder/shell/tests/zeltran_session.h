// Drives zeltran.exe as a person would: starts it in a scratch folder of its
// own, finds its windows, clicks with the real mouse and reads message boxes.
// Every wait polls with a deadline, so a missing window fails the test with
// a message instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The window title and the caption of every message box, Windows-1251.
inline constexpr char kTitle[] = "ZELTRAN v. 1.02";

// Polls `condition` every 20 ms until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// The folder of the driver program (with zeltran.exe and parvex.dll),
// ending in a backslash.
std::string ProgramsFolder();

// A Windows path for a path of the Linux file system (Wine's drive Z:).
std::string WindowsPathOf(const std::string& unixPath);

// Empties (or creates) `folder` and the folders above it.
void MakeEmptyFolder(const std::string& folder);

bool FileExists(const std::string& path);

// Copies the sample thread pages into `folder`.
void CopySamplePages(const std::string& samplesFolder, const std::string& folder);

// Runs a console program to its end; returns its exit code, or -1.
int RunProgram(const std::string& commandLine);

// Clicks the middle of `window` with the left mouse button.
void ClickWindow(HWND window);

// Clicks `window` until `done` holds, a few times at most, as a person
// clicks again when a press went unnoticed; false when it never holds.
bool ClickUntil(HWND window, const std::function<bool()>& done);

// One running zeltran.exe, copied with parvex.dll into `folder`.
class ZeltranProcess {
  public:
    explicit ZeltranProcess(const std::string& folder);
    ~ZeltranProcess();
    ZeltranProcess(const ZeltranProcess&) = delete;
    ZeltranProcess& operator=(const ZeltranProcess&) = delete;

    bool Started() const { return mainWindow_ != nullptr; }
    HWND MainWindow() const { return mainWindow_; }
    HWND Control(int id) const { return GetDlgItem(mainWindow_, id); }
    void Click(int id) const { ClickWindow(Control(id)); }
    bool ClickUntil(int id, const std::function<bool()>& done) const {
        return ::ClickUntil(Control(id), done);
    }
    // Clicks `id` until a message box shows; returns its text and window.
    std::string ClickForMessage(int id, HWND* box) const;
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(Control(id), message, wParam, lParam);
    }

    // The window with the program's keyboard focus; its active window when
    // no window has the focus, as the keyboard then goes there.
    HWND KeyboardTarget() const;
    // Posts a key message where the keyboard would send it now.
    void PostKey(UINT message, WPARAM key, LPARAM flags) const;
    // Moves the focus to control `id` with the Tab key; false when it never
    // gets there.
    bool TabTo(int id) const;
    // Waits until the program has handled every message posted to it so
    // far, by posting one more whose effect can be read.
    bool PostedMessagesHandled() const;

    // The process's visible dialog windows other than the main window.
    std::vector<HWND> OtherDialogs() const;
    // Waits for a message box and returns its text; empty on time-out.
    std::string WaitForMessageBox(HWND* box = nullptr) const;
    // Closes a message box with its OK button and waits for it to go.
    bool CloseMessageBox(HWND box) const;

    // The processor time the program has used so far, user and kernel.
    ULONGLONG CpuTimeMs() const;

    // Waits for the program to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs = 20000) const;
    DWORD ExitCode() const;

  private:
    PROCESS_INFORMATION process_{};
    HWND mainWindow_ = nullptr;
    std::string commandLine_;          // the program's path
    mutable std::string linuxProcess_; // its folder in /proc, once found
};
