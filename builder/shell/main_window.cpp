#include "builder/shell/main_window.h"

#include "builder/base/forum_site.h"
#include "builder/resources/resource_ids.h"
#include "builder/rrbutton/win32/round_button.h"
#include "builder/rrbutton/win32/screen_metrics.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/shell_colors.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr DialogFrame kMainFrame{
    nullptr, kLayerDialogStyle | WS_SYSMENU, kLayerDialogExStyle, 347, 181, 300, 305};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPathFieldStyle = kChild | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kRoundButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kRoundButtonExStyle = 2;

struct ButtonControl {
    int id;
    const char* caption;
    int x, y, width, height;
};

std::string PagesFolderCaption() {
    return std::string("Путь к локальным файлам (*.html) форума \"") + std::string(kForumAddress) +
           "\"";
}

// The standard controls after the banner, in tab order.
void AddStandardControls(HWND window) {
    const std::string pagesCaption = PagesFolderCaption();
    const DialogControl controls[] = {
        {kBuildGroup, "BUTTON", "Создание баз (*.DAT, *IDX)", 5, 22, 290, 163, kChild | BS_GROUPBOX,
         0},
        {kMergeGroup, "BUTTON", "Объединение баз (*.DAT, *IDX)", 5, 195, 290, 105,
         kChild | BS_GROUPBOX, 0},
        {kPagesFolderLabel, "STATIC", pagesCaption.c_str(), 12, 35, 266, 20, kChild | SS_LEFT, 0},
        {kSectionLabel, "STATIC", "Какой топик создаем ?", 47, 77, 103, 12, kChild | SS_RIGHT, 0},
        {kForumFilterLabel, "STATIC",
         "При сборке отбирать только этот топик ? Иначе можно собрать все в одном топике. Тоже не "
         "плохо.",
         20, 95, 130, 35, kChild | SS_CENTER, 0},
        {kDateFilterLabel, "STATIC", "Если дата поста ниже указанной , в сборку на попадает", 20,
         137, 130, 19, kChild | SS_CENTER, 0},
        {kNewBaseLabel, "STATIC", "Новая база топика (которую объединяем)", 10, 207, 265, 10,
         kChild | SS_LEFT, 0},
        {kOldBaseLabel, "STATIC", "Старая база топика (с которой объединяем)", 10, 233, 265, 10,
         kChild | SS_LEFT, 0},
        {kBackupLabel, "STATIC", "старый топик будет сохранен с расширениями *.DA_  и  *.ID_", 10,
         260, 265, 10, kChild | SS_LEFT, 0},
        {kPagesFolderField, "STATIC", "", 10, 55, 255, 13, kPathFieldStyle, WS_EX_CLIENTEDGE},
        {kNewBaseField, "STATIC", "", 10, 218, 255, 13, kPathFieldStyle, WS_EX_CLIENTEDGE},
        {kOldBaseField, "STATIC", "", 10, 247, 255, 12, kPathFieldStyle, WS_EX_CLIENTEDGE},
        {kSectionCombo, "COMBOBOX", "", 162, 75, 125, 200,
         kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0},
        {kForumFilterCheck, "BUTTON", "Фильтр по форуму", 162, 100, 115, 15,
         kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
        {kDateFilterCheck, "BUTTON", "Дата начала", 162, 135, 125, 10,
         kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
        {kStartDatePicker, DATETIMEPICK_CLASSA, "SysDateTimePick32_1", 162, 150, 60, 12,
         kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 0},
        {kProgressBar, PROGRESS_CLASSA, "msctls_progress32_1", 5, 187, 290, 5, kChild, 0},
    };
    for (const DialogControl& control : controls) {
        AddDialogControl(window, control);
    }
}

void AddBanner(HWND window, const std::string& title) {
    const HWND banner = CreateRoundButton(window, kTitleBanner, title.c_str(), 75, 5, 150, 15,
                                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 1);
    SendMessageA(banner, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), 0);
    SendMessageA(banner, RBM_SETLATCH, kLatchRaised, 0);
    SendMessageA(banner, RBM_SETTEXTFORMAT, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0);
    SendMessageA(banner, RBM_SETHOTTEXTCOLOR, kNavy, 0);
    SendMessageA(banner, RBM_SETEMBOSS, 1, 0);
}

void AddButtons(HWND window) {
    const ButtonControl buttons[] = {
        {kPagesFolderPicker, "...", 267, 55, 20, 12}, {kNewBasePicker, "...", 267, 218, 20, 12},
        {kOldBasePicker, "...", 267, 247, 20, 11},    {kMergeButton, "Собрать", 10, 280, 55, 16},
        {kStartButton, "Старт", 10, 164, 55, 16},     {kBuildStopButton, "Стоп", 66, 164, 55, 16},
        {kMergeStopButton, "Стоп", 66, 280, 55, 16},  {kAboutButton, "Инфа...", 170, 280, 54, 16},
        {kExitButton, "Выход", 230, 280, 55, 16},
    };
    for (const ButtonControl& button : buttons) {
        const HWND control =
            CreateRoundButton(window, button.id, button.caption, button.x, button.y, button.width,
                              button.height, kRoundButtonStyle, kRoundButtonExStyle, 1);
        SendMessageA(control, RBM_SETCORNER, static_cast<WPARAM>(ScaledForWindow(window, 3)), 0);
        SendMessageA(control, RBM_SETINTERACTIVE, 0, 1);
    }
}

void FillSectionCombo(HWND window) {
    const HWND combo = GetDlgItem(window, kSectionCombo);
    SendMessageA(combo, CB_SETEXTENDEDUI, TRUE, 0);
    for (const char* title : kSectionTitles) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

} // namespace

HWND CreateMainWindow(LayerDialog& layer, MainWindowState& state) {
    DialogFrame frame = kMainFrame;
    frame.title = state.windowTitle.c_str();
    layer.state = &state;
    const HWND window = CreateLayerDialog(layer, nullptr, frame);
    if (window == nullptr) {
        return nullptr;
    }
    state.window = window;
    state.windowIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.windowIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.windowIcon));
    AddBanner(window, state.windowTitle);
    AddStandardControls(window);
    AddButtons(window);
    FillSectionCombo(window);
    SendDlgItemMessageA(window, kProgressBar, PBM_SETPOS, 0, 0);
    return window;
}

MainWindowState& MainWindowOf(HWND window) {
    return *static_cast<MainWindowState*>(LayerStateOf(window));
}
