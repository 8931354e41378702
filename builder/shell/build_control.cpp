#include "builder/base/build_run.h"

#include "builder/base/post_dates.h"
#include "builder/base/stop_request.h"
#include "builder/files/file_system.h"
#include "builder/shell/build_control.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/shell_values.h"
#include "builder/shell/user_messages.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr int kLockedControls[] = {
    kPagesFolderPicker, kSectionCombo,  kStartButton,   kStartDatePicker,
    kMergeButton,       kNewBasePicker, kOldBasePicker,
};

// Where the window's build is. A close request is decided from this, never
// from the state of a button: a running build stops first, and a build that
// shows its outcome is let finish showing it.
enum class BuildPhase { Idle, Running, ShowingOutcome };
BuildPhase buildPhase = BuildPhase::Idle;
// The window ends as soon as the current build is over; never outlives it.
bool endAfterBuild = false;

class WindowBuildControl final : public BuildControl {
  public:
    void SetProgressRange(int count) override {
        SendDlgItemMessageA(gMainWindow, kProgressBar, PBM_SETRANGE32, 0,
                            count > 0 ? count - 1 : 0);
    }
    void SetProgress(int index) override {
        SendDlgItemMessageA(gMainWindow, kProgressBar, PBM_SETPOS, index, 0);
    }
    bool StopRequested() override { return IsStopRequested(); }
    void PumpOneMessage() override { MessagePause(); }
};

bool IsChecked(int id) {
    return SendDlgItemMessageA(gMainWindow, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The start date comes from the picker's date value, not its text, so the
// key is right under any short-date format.
std::string StartDateKeyOfPicker() {
    SYSTEMTIME date{};
    SendDlgItemMessageA(gMainWindow, kStartDatePicker, DTM_GETSYSTEMTIME, 0,
                        reinterpret_cast<LPARAM>(&date));
    return StartDateKey(date.wYear, date.wMonth, date.wDay);
}

BuildSettings SettingsOfWindow() {
    gPagesFolder = ControlText(gMainWindow, kPagesFolderField);
    BuildSettings settings;
    settings.sectionIndex =
        static_cast<int>(SendDlgItemMessageA(gMainWindow, kSectionCombo, CB_GETCURSEL, 0, 0));
    settings.pagesFolder = gPagesFolder;
    settings.startDateKey = StartDateKeyOfPicker();
    settings.dateFilter = IsChecked(kDateFilterCheck);
    settings.forumFilter = IsChecked(kForumFilterCheck);
    return settings;
}

void EnableLockedControls(BOOL enable) {
    for (const int id : kLockedControls) {
        EnableWindow(GetDlgItem(gMainWindow, id), enable);
    }
}

} // namespace

void LockControls() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EnableLockedControls(FALSE);
}

void UnlockControls() {
    EnableLockedControls(TRUE);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
}

bool LockedByBuild(int id) {
    return buildPhase != BuildPhase::Idle &&
           std::find(std::begin(kLockedControls), std::end(kLockedControls), id) !=
               std::end(kLockedControls);
}

void EndMainWindow() {
    switch (buildPhase) {
    case BuildPhase::Running:
        RequestStop();
        endAfterBuild = true;
        break;
    case BuildPhase::ShowingOutcome: endAfterBuild = true; break;
    case BuildPhase::Idle: EndLayerDialog(gMainWindow, 0); break;
    }
}

void StartBuild() {
    LockControls();
    WindowBuildControl control;
    buildPhase = BuildPhase::Running;
    const BuildResult result = BuildBase(PlatformFileSystem(), SettingsOfWindow(), control);
    // The user asked to leave during the run: no outcome to read any more.
    if (!endAfterBuild) {
        buildPhase = BuildPhase::ShowingOutcome;
        ShowUserMessage(result.outcome);
    }
    buildPhase = BuildPhase::Idle;
    UnlockControls();
    SendDlgItemMessageA(gMainWindow, kProgressBar, PBM_SETPOS, 0, 0);
    if (endAfterBuild) {
        endAfterBuild = false;
        EndLayerDialog(gMainWindow, 0);
    }
}

void MessagePause() {
    DispatchPendingMessage();
}
