#include "builder/shell/about_box.h"

#include "builder/resources/resource_ids.h"
#include "builder/rrbutton/button_colors.h"
#include "builder/rrbutton/win32/round_button.h"
#include "builder/rrbutton/win32/screen_metrics.h"
#include "builder/shell/control_ids.h"
#include "builder/shell/dialog_layer.h"
#include "builder/shell/shell_colors.h"

#include <iterator>

namespace {

constexpr DialogFrame kAboutFrame{
    "", kLayerDialogStyle | DS_CENTER, kLayerDialogExStyle, 294, 180, 300, 300};
constexpr DWORD kNoteStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL;
constexpr COLORREF kBannerTitleColor = RGB(255, 0, 0);
constexpr char kCreditLine[] = "Сборка баз форума для офлайн-чтения";
constexpr char kCloseCaption[] = "Закрыть";
// The side of the icon in the banner, in pixels at 96 DPI, and the sides of
// the images the icon resource carries.
constexpr int kBannerIconSide = 25;
constexpr int32_t kProgramIconSides[] = {32, 48, 64};

// The program icon at the image that fits the banner's icon on this screen:
// never scaled up, and at 96 DPI the 32 x 32 image the window shows.
class BannerIcon {
  public:
    explicit BannerIcon(HWND dialog) {
        const int side = FittingIconSide(ScaledForWindow(dialog, kBannerIconSide),
                                         kProgramIconSides, std::size(kProgramIconSides));
        icon_ =
            static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM),
                                          IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
    }
    ~BannerIcon() {
        if (icon_ != nullptr) {
            DestroyIcon(icon_);
        }
    }
    BannerIcon(const BannerIcon&) = delete;
    BannerIcon& operator=(const BannerIcon&) = delete;

    HICON get() const { return icon_; }

  private:
    HICON icon_ = nullptr;
};

// Pixel lengths below are those of a 96-DPI screen, scaled to the box's.
void AddBanner(HWND dialog, const std::string& title, HICON programIcon) {
    const auto px = [dialog](int pixels) { return ScaledForWindow(dialog, pixels); };
    const HWND banner = CreateRoundButton(dialog, kAboutBanner, title.c_str(), 45, 3, 205, 25,
                                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 1);
    SendMessageA(banner, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), 0);
    SendMessageA(banner, RBM_SETLATCH, kLatchSunken, 0);
    SendMessageA(banner, RBM_SETTEXTFORMAT, DT_CENTER | DT_SINGLELINE, 0);
    SendMessageA(banner, RBM_SETTEXTMARGINLEFT, px(10), 0);
    SendMessageA(banner, RBM_SETTEXTMARGINTOP, px(5), 0);
    SendMessageA(banner, RBM_SETPRESSEDTEXTCOLOR, kBannerTitleColor, 0);
    SendMessageA(banner, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(programIcon));
    SendMessageA(banner, RBM_SETIMAGEPOS, px(10), px(10));
    SendMessageA(banner, RBM_SETIMAGESIZE, px(kBannerIconSide), px(kBannerIconSide));
    SendMessageA(banner, RBM_SETEMBOSS, 1, 0);

    // The credit line sits inside the banner, placed in pixels.
    RECT bannerClient{};
    GetClientRect(banner, &bannerClient);
    const HWND credit =
        CreateRoundButton(banner, kAboutCreditLine, kCreditLine, px(40), px(20),
                          bannerClient.right - px(60), px(18), WS_CHILD | WS_VISIBLE, 0, 0);
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
    return FieldColors(dc);
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
    // Lives until the box has ended: the banner borrows it.
    const BannerIcon icon(window);
    AddBanner(window, state.windowTitle, icon.get());
    const HWND close = CreateRoundButton(window, kAboutCloseButton, kCloseCaption, 100, 285, 100,
                                         12, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 2, 1);
    SendMessageA(close, RBM_SETCORNER, static_cast<WPARAM>(ScaledForWindow(window, 3)), 0);
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
