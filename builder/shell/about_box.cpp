#include "builder/shell/about_box.h"

#include "builder/rrbutton/win32/round_button.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/shell_colors.h"

namespace {

constexpr DialogFrame kAboutFrame{
    "", kLayerDialogStyle | DS_CENTER, kLayerDialogExStyle, 294, 180, 300, 300};
constexpr DWORD kNoteStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL;
constexpr COLORREF kBannerTitleColor = RGB(255, 0, 0);
constexpr char kCreditLine[] = "Сборка баз форума для офлайн-чтения";
constexpr char kCloseCaption[] = "Закрыть";

void AddBanner(HWND dialog, const std::string& title, HICON programIcon) {
    const HWND banner = CreateRoundButton(dialog, kAboutBanner, title.c_str(), 45, 3, 205, 25,
                                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 1);
    SendMessageA(banner, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), 0);
    SendMessageA(banner, RBM_SETLATCH, kLatchSunken, 0);
    SendMessageA(banner, RBM_SETTEXTFORMAT, DT_CENTER | DT_SINGLELINE, 0);
    SendMessageA(banner, RBM_SETTEXTMARGINLEFT, 10, 0);
    SendMessageA(banner, RBM_SETTEXTMARGINTOP, 5, 0);
    SendMessageA(banner, RBM_SETPRESSEDTEXTCOLOR, kBannerTitleColor, 0);
    SendMessageA(banner, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(programIcon));
    SendMessageA(banner, RBM_SETIMAGEPOS, 10, 10);
    SendMessageA(banner, RBM_SETIMAGESIZE, 25, 25);
    SendMessageA(banner, RBM_SETEMBOSS, 1, 0);

    // The credit line sits inside the banner, placed in pixels.
    RECT bannerClient{};
    GetClientRect(banner, &bannerClient);
    const HWND credit = CreateRoundButton(banner, kAboutCreditLine, kCreditLine, 40, 20,
                                          bannerClient.right - 60, 18, WS_CHILD | WS_VISIBLE, 0, 0);
    SendMessageA(credit, RBM_SETLATCH, kLatchFlat, 0);
    SendMessageA(credit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), 0);
    SendMessageA(credit, RBM_SETCORNER, 0, 0);
    SendMessageA(credit, RBM_SETTEXTCOLOR, kNavy, 0);
    SendMessageA(credit, RBM_SETEMBOSS, 1, 0);
}

INT_PTR NoteColors(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != kAboutTextEdit) {
        return 0;
    }
    return SolidBackground(dc, kPaleYellow);
}

} // namespace

INT_PTR ShowAboutBox(const MainWindowState& state) {
    LayerDialog dialog{AboutDialogProc};
    const HWND window = CreateLayerDialog(dialog, state.window, kAboutFrame);
    if (window == nullptr) {
        return 0;
    }
    AddDialogControl(window, {kAboutTextEdit, "EDIT", state.aboutText.c_str(), 0, 35, 300, 245,
                              kNoteStyle, WS_EX_CLIENTEDGE});
    AddBanner(window, state.windowTitle, state.windowIcon);
    const HWND close = CreateRoundButton(window, kAboutCloseButton, kCloseCaption, 100, 285, 100,
                                         12, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 2, 1);
    SendMessageA(close, RBM_SETCORNER, 3, 0);
    SendMessageA(close, RBM_SETINTERACTIVE, 0, 1);
    return RunLayerDialog(dialog);
}

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCACTIVATE: SetFocus(GetDlgItem(window, kAboutCloseButton)); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kAboutCloseButton && HIWORD(wParam) <= 1) {
            EndLayerDialog(window, 0);
        }
        return 0;
    case WM_CANCELMODE:
    case WM_DESTROY: EndLayerDialog(window, 0); return 0;
    case WM_CTLCOLOREDIT:
        return NoteColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default: return 0;
    }
}
