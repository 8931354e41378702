// MainDialogProc: the main window's life-cycle messages and one operation
// per button.
#include "builder/files/file_system.h"
#include "builder/merge/merge_bases.h"

#include "builder/shell/about_box.h"
#include "builder/shell/build_control.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/main_window.h"
#include "builder/shell/pickers.h"
#include "builder/shell/settings.h"
#include "builder/shell/shell_colors.h"
#include "builder/shell/user_messages.h"

namespace {

void MergeFromFields(MainWindowState& state) {
    state.newBasePath = ControlText(state.window, kNewBaseField);
    state.oldBasePath = ControlText(state.window, kOldBaseField);
    ShowUserMessage(state, MergeBases(PlatformFileSystem(), state.newBasePath, state.oldBasePath));
}

void OnCommand(MainWindowState& state, int id) {
    if (LockedByBuild(state, id)) {
        return;
    }
    switch (id) {
    case kStartButton: StartBuild(state); break;
    case kBuildStopButton:
    case kMergeStopButton: state.stopRequest = true; break;
    case kAboutButton: ShowAboutBox(state); break;
    case kPagesFolderPicker: PickPagesFolder(state); break;
    case kNewBasePicker:
    case kOldBasePicker:
        PickBaseFile(state, id == kNewBasePicker ? kNewBaseField : kOldBaseField);
        break;
    case kMergeButton: MergeFromFields(state); break;
    case kExitButton: EndMainWindow(state); break;
    default: break;
    }
}

// Navy captions and the yellow path fields (system colours under high
// contrast).
INT_PTR StaticColors(HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case kPagesFolderLabel:
    case kSectionLabel:
    case kNewBaseLabel:
    case kOldBaseLabel:
    case kForumFilterCheck:
    case kDateFilterCheck: return CaptionColors(dc);
    case kPagesFolderField:
    case kNewBaseField:
    case kOldBaseField: return FieldColors(dc);
    default: return 0;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindowState& state = MainWindowOf(window);
    switch (message) {
    case WM_INITDIALOG: LoadSettings(state); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1) {
            OnCommand(state, LOWORD(wParam));
        }
        return 0;
    case WM_CLOSE:
        // The close box ends the window like the exit button.
        EndMainWindow(state);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: SaveSettings(state); return 0;
    case WM_QUERYENDSESSION:
        // The session may end at any time: nothing here is left to ask about.
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        // The session ends the process without destroying the window.
        if (wParam) {
            SaveSettings(state);
        }
        return 0;
    default: return 0;
    }
}
