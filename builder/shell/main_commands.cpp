// MainDialogProc: the main window's life-cycle messages and one operation
// per button.
#include "builder/files/file_system.h"
#include "builder/merge/merge_bases.h"

#include "builder/base/stop_request.h"
#include "builder/shell/about_box.h"
#include "builder/shell/build_control.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/main_window.h"
#include "builder/shell/pickers.h"
#include "builder/shell/settings.h"
#include "builder/shell/shell_colors.h"
#include "builder/shell/shell_values.h"
#include "builder/shell/user_messages.h"

namespace {

void MergeFromFields() {
    gNewBasePath = ControlText(gMainWindow, kNewBaseField);
    gOldBasePath = ControlText(gMainWindow, kOldBaseField);
    ShowUserMessage(MergeBases(PlatformFileSystem(), gNewBasePath, gOldBasePath));
}

void OnCommand(int id) {
    if (LockedByBuild(id)) {
        return;
    }
    switch (id) {
    case kStartButton: StartBuild(); break;
    case kBuildStopButton:
    case kMergeStopButton: RequestStop(); break;
    case kAboutButton: ShowAboutBox(gMainWindow); break;
    case kPagesFolderPicker: PickPagesFolder(); break;
    case kNewBasePicker:
    case kOldBasePicker: PickBaseFile(id == kNewBasePicker ? kNewBaseField : kOldBaseField); break;
    case kMergeButton: MergeFromFields(); break;
    case kExitButton: EndMainWindow(); break;
    default: break;
    }
}

// Navy captions and the yellow path fields.
INT_PTR StaticColors(HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case kPagesFolderLabel:
    case kSectionLabel:
    case kNewBaseLabel:
    case kOldBaseLabel:
    case kForumFilterCheck:
    case kDateFilterCheck:
        SetTextColor(dc, kNavy);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case kPagesFolderField:
    case kNewBaseField:
    case kOldBaseField: return SolidBackground(dc, kPaleYellow);
    default: return 0;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: LoadSettings(); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1) {
            OnCommand(LOWORD(wParam));
        }
        return 0;
    case WM_CLOSE:
        // The close box ends the window like the exit button.
        EndMainWindow();
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: SaveSettings(); return 0;
    default: return 0;
    }
}
