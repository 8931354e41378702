#include "builder/base/build_run.h"

#include "builder/base/post_dates.h"
#include "builder/files/file_system.h"
#include "builder/shell/build_control.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/user_messages.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr int kLockedControls[] = {
    kPagesFolderPicker, kSectionCombo,  kStartButton,   kStartDatePicker,
    kMergeButton,       kNewBasePicker, kOldBasePicker,
};

// The window's side of a build: its progress bar, its stop request and its
// message pause.
class WindowBuildControl final : public BuildControl {
  public:
    explicit WindowBuildControl(MainWindowState& state) : state_(state) {}

    void SetProgressRange(int count) override {
        SendDlgItemMessageA(state_.window, kProgressBar, PBM_SETRANGE32, 0,
                            count > 0 ? count - 1 : 0);
    }
    void SetProgress(int index) override {
        SendDlgItemMessageA(state_.window, kProgressBar, PBM_SETPOS, index, 0);
    }
    void ClearStopRequest() override { state_.stopRequest = false; }
    bool StopRequested() override { return state_.stopRequest; }
    void PumpOneMessage() override { MessagePause(); }

  private:
    MainWindowState& state_;
};

bool IsChecked(HWND window, int id) {
    return SendDlgItemMessageA(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The start date comes from the picker's date value, not its text, so the
// key is right under any short-date format.
std::string StartDateKeyOfPicker(HWND window) {
    SYSTEMTIME date{};
    SendDlgItemMessageA(window, kStartDatePicker, DTM_GETSYSTEMTIME, 0,
                        reinterpret_cast<LPARAM>(&date));
    return StartDateKey(date.wYear, date.wMonth, date.wDay);
}

BuildSettings SettingsOfWindow(MainWindowState& state) {
    state.pagesFolder = ControlText(state.window, kPagesFolderField);
    BuildSettings settings;
    settings.sectionIndex =
        static_cast<int>(SendDlgItemMessageA(state.window, kSectionCombo, CB_GETCURSEL, 0, 0));
    settings.pagesFolder = state.pagesFolder;
    settings.startDateKey = StartDateKeyOfPicker(state.window);
    settings.dateFilter = IsChecked(state.window, kDateFilterCheck);
    settings.forumFilter = IsChecked(state.window, kForumFilterCheck);
    return settings;
}

void EnableLockedControls(HWND window, BOOL enable) {
    for (const int id : kLockedControls) {
        EnableWindow(GetDlgItem(window, id), enable);
    }
}

} // namespace

void LockControls(const MainWindowState& state) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EnableLockedControls(state.window, FALSE);
}

void UnlockControls(const MainWindowState& state) {
    EnableLockedControls(state.window, TRUE);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
}

bool LockedByBuild(const MainWindowState& state, int id) {
    return state.buildPhase != BuildPhase::Idle &&
           std::find(std::begin(kLockedControls), std::end(kLockedControls), id) !=
               std::end(kLockedControls);
}

void EndMainWindow(MainWindowState& state) {
    switch (state.buildPhase) {
    case BuildPhase::Running:
        state.stopRequest = true;
        state.endAfterBuild = true;
        break;
    case BuildPhase::ShowingOutcome: state.endAfterBuild = true; break;
    case BuildPhase::Idle: EndLayerDialog(state.window, 0); break;
    }
}

void StartBuild(MainWindowState& state) {
    LockControls(state);
    WindowBuildControl control(state);
    state.buildPhase = BuildPhase::Running;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsOfWindow(state), control);
    // The user asked to leave during the run: no outcome to read any more.
    if (!state.endAfterBuild) {
        state.buildPhase = BuildPhase::ShowingOutcome;
        ShowUserMessage(state, result.outcome);
    }
    state.buildPhase = BuildPhase::Idle;
    UnlockControls(state);
    SendDlgItemMessageA(state.window, kProgressBar, PBM_SETPOS, 0, 0);
    if (state.endAfterBuild) {
        state.endAfterBuild = false;
        EndLayerDialog(state.window, 0);
        return;
    }
    // Locking took the focus from Start, and the window gave it to the first
    // control still enabled when the message closed; the keyboard user goes
    // on from the button pressed.
    SendMessageA(state.window, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(state.window, kStartButton)), TRUE);
}

void MessagePause() {
    DispatchPendingMessage();
}
