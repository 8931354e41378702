// The RRBUTTON window class: creation, the record, and every message but
// the paint (round_button_paint.cpp).
#include "builder/rrbutton/win32/round_button.h"

#include <cstring>

#include "builder/rrbutton/button_colors.h"
#include "builder/rrbutton/win32/round_button_data.h"
#include "builder/rrbutton/win32/screen_metrics.h"
#include "common/win32/gdi_handles.h"

namespace {

constexpr UINT kHoverPeriodMs = 10;
// Lengths in pixels at 96 DPI, scaled to the control's screen.
constexpr int kDefaultCornerDiameter = 20;
constexpr int kDefaultImageSide = 16;
constexpr UINT kDefaultTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void RedrawIf(HWND hwnd, LPARAM redraw) {
    if (redraw != 0) {
        Redraw(hwnd);
    }
}

bool IsPassiveLabel(const RoundButtonData& data) {
    return data.latch > 0 && data.interactive == 0;
}

void SendClick(HWND hwnd) {
    if (const RoundButtonData* data = ButtonData(hwnd)) {
        SendMessageA(data->parent, WM_COMMAND, MAKEWPARAM(data->id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

// Icons and bitmaps are released by different calls.
void DeleteImage(HANDLE image, int32_t imageType) {
    if (image == nullptr) {
        return;
    }
    if (imageType == IMAGE_BITMAP) {
        DeleteObject(image);
    } else {
        DestroyIcon(static_cast<HICON>(image));
    }
}

// Covers the client area with the dialog colour, so that the corners
// outside the rounded region show it, and rebuilds the region.
void RebuildRegion(RoundButtonData& data) {
    RECT client;
    GetClientRect(data.hwnd, &client);
    {
        WindowDC dc(data.hwnd);
        FillRect(dc.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (data.region != nullptr) {
        DeleteObject(data.region);
    }
    data.region = CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, data.cornerDiameter,
                                     data.cornerDiameter);
}

LRESULT OnCreate(HWND hwnd) {
    auto* data = static_cast<RoundButtonData*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(RoundButtonData)));
    if (data == nullptr) {
        return -1;
    }
    const COLORREF buttonText = GetSysColor(COLOR_BTNTEXT);
    data->hwnd = hwnd;
    data->id = static_cast<int32_t>(GetWindowLongPtrA(hwnd, GWLP_ID));
    data->instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
    data->parent = reinterpret_cast<HWND>(GetWindowLongPtrA(hwnd, GWLP_HWNDPARENT));
    const int dpi = WindowDpi(hwnd);
    data->cornerDiameter = ScaledPixels(kDefaultCornerDiameter, dpi);
    data->cursor = LoadCursorA(nullptr, IDC_ARROW);
    data->faceColor = InitialFaceColor(GetSysColor(COLOR_BTNFACE));
    data->textBkMode = TRANSPARENT;
    data->textBkColor = data->faceColor;
    data->textColor = buttonText;
    data->pressedTextColor = buttonText;
    data->hotTextColor = buttonText;
    data->interactive = 1;
    data->imageWidth = ScaledPixels(kDefaultImageSide, dpi);
    data->imageHeight = data->imageWidth;
    data->imagePlacement = kImageMiddleLeft;
    data->textFormat = kDefaultTextFormat;
    data->colorTable.lastSystemFace = CLR_INVALID;
    // A new window shows the keyboard cues its parent shows.
    data->uiState = static_cast<int32_t>(SendMessageA(data->parent, WM_QUERYUISTATE, 0, 0));
    data->systemColors = HighContrastOn() ? 1 : 0;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(data));
    SendMessageA(hwnd, RBM_SETCORNER, static_cast<WPARAM>(data->cornerDiameter), 0);
    return 0;
}

void OnDestroy(RoundButtonData* data) {
    if (data->hoverTimer != 0) {
        KillTimer(data->hwnd, static_cast<UINT_PTR>(data->id));
    }
    if (data->colorTable.palette != nullptr) {
        DeleteObject(data->colorTable.palette);
    }
    if (data->faceBrush != nullptr) {
        DeleteObject(data->faceBrush);
    }
    if (data->region != nullptr) {
        DeleteObject(data->region);
    }
    if (data->imageBorrowed == 0) {
        DeleteImage(data->image, data->imageType);
    }
    DeleteImage(data->hotImage, data->imageType);
    DeleteImage(data->pressedImage, data->imageType);
    DeleteImage(data->disabledImage, data->imageType);
    SetWindowLongPtrA(data->hwnd, 0, 0);
    HeapFree(GetProcessHeap(), 0, data);
}

void OnSetFocus(HWND hwnd, RoundButtonData& data) {
    data.look = kLookNormal;
    if (IsPassiveLabel(data)) {
        // Labels take no focus: hand it to the next control in tab order.
        const BOOL backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        SetFocus(GetNextDlgTabItem(data.parent, hwnd, backwards));
        if (ButtonData(hwnd) == nullptr) {
            return;
        }
    }
    Redraw(hwnd);
}

// The owner shows or hides the keyboard cues (once the user works the
// keyboard, the focused control shows where it is). A focused control
// redraws at once; redrawing is the last use of the record.
void OnUpdateUiState(HWND hwnd, RoundButtonData& data, WPARAM wParam) {
    const auto flags = static_cast<int32_t>(HIWORD(wParam));
    const int32_t before = data.uiState;
    if (LOWORD(wParam) == UIS_SET) {
        data.uiState |= flags;
    } else if (LOWORD(wParam) == UIS_CLEAR) {
        data.uiState &= ~flags;
    }
    if (data.uiState != before && GetFocus() == hwnd) {
        Redraw(hwnd);
    }
}

LRESULT OnGetDlgCode(const RoundButtonData& data, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (IsPassiveLabel(data)) {
        return DefWindowProcA(hwnd, WM_GETDLGCODE, wParam, lParam);
    }
    if (lParam > 0) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if ((message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
            message->wParam == VK_RETURN) {
            return DLGC_WANTALLKEYS;
        }
    }
    if (lParam == 0 && data.latch == kLatchNone) {
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    }
    return DefWindowProcA(hwnd, WM_GETDLGCODE, wParam, lParam);
}

// Only a black or white system face resets the colours here; any other
// face is followed at the next paint.
void OnSysColorChange(HWND hwnd) {
    const COLORREF systemFace = GetSysColor(COLOR_BTNFACE);
    if (systemFace != 0x000000 && systemFace != 0xFFFFFF) {
        return;
    }
    const COLORREF buttonText = GetSysColor(COLOR_BTNTEXT);
    SendMessageA(hwnd, RBM_SETFACECOLOR, systemFace, 0);
    SendMessageA(hwnd, RBM_SETTEXTCOLOR, buttonText, 0);
    SendMessageA(hwnd, RBM_SETHOTTEXTCOLOR, buttonText, 0);
    SendMessageA(hwnd, RBM_SETPRESSEDTEXTCOLOR, buttonText, 1);
}

// Bit 30 of a key message: the key was already down, so this key-down is
// the keyboard's auto-repeat.
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

// Only a fresh key press acts: a held Enter would otherwise click again on
// every repeat, and a Space held since before the focus came here would
// start a press that the user never made on this button.
void OnKeyDown(HWND hwnd, RoundButtonData& data, WPARAM key, LPARAM keyFlags) {
    if (data.pressSource != kNoPress || (keyFlags & kKeyWasDown) != 0) {
        return;
    }
    if (key == VK_RETURN) {
        SendClick(hwnd);
    } else if (key == VK_SPACE) {
        data.look = kLookPressed;
        data.pressSource = kSpacePress;
        Redraw(hwnd);
    }
}

// Any key released ends a Space press; one still showing pressed clicks,
// and the click is the last thing done.
void OnKeyUp(HWND hwnd, RoundButtonData& data) {
    if (data.pressSource != kSpacePress) {
        return;
    }
    data.pressSource = kNoPress;
    const bool pressed = data.look != kLookNormal;
    data.look = kLookNormal;
    Redraw(hwnd);
    if (pressed && IsWindowEnabled(hwnd)) {
        SendClick(hwnd);
    }
}

LRESULT OnButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!CursorInButton(hwnd)) {
        return DefWindowProcA(hwnd, WM_LBUTTONDOWN, wParam, lParam);
    }
    SetCapture(hwnd);
    RoundButtonData* data = ButtonData(hwnd);
    if (data == nullptr || IsPassiveLabel(*data)) {
        return 0;
    }
    if (data->pressSource == kSpacePress) {
        return DefWindowProcA(hwnd, WM_LBUTTONDOWN, wParam, lParam);
    }
    data->pressSource = kMousePress;
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
        data = ButtonData(hwnd);
        if (data == nullptr) {
            return 0;
        }
    }
    data->look = kLookPressed;
    Redraw(hwnd);
    return 0;
}

// A click counts when the look was still pressed at the release: dragging
// out cancels it, dragging back in re-arms it.
void OnButtonUp(HWND hwnd) {
    ReleaseCapture();
    RoundButtonData* data = ButtonData(hwnd);
    if (data == nullptr || IsPassiveLabel(*data) || data->pressSource == kNoPress) {
        return;
    }
    const int32_t lookAtRelease = data->look;
    data->pressSource = kNoPress;
    data->look = CursorInButton(hwnd) && data->latch == kLatchNone ? kLookHot : kLookNormal;
    Redraw(hwnd);
    if (lookAtRelease != kLookNormal && IsWindowEnabled(hwnd)) {
        SendClick(hwnd);
    }
}

void ShowCursorOfButton(const RoundButtonData& data) {
    if (GetCursor() != data.cursor) {
        SetCursor(data.cursor);
    }
}

LRESULT OnMouseMove(RoundButtonData& data, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (IsPassiveLabel(data)) {
        if (CursorInButton(hwnd)) {
            ShowCursorOfButton(data);
        }
        return 0;
    }
    if (data.pressSource != kSpacePress) {
        if (CursorInButton(hwnd)) {
            ShowCursorOfButton(data);
            if (data.hoverTimer == 0 && data.latch == kLatchNone) {
                data.hoverTimer =
                    SetTimer(hwnd, static_cast<UINT_PTR>(data.id), kHoverPeriodMs, nullptr);
            }
            const int32_t look = data.pressSource != kNoPress ? kLookPressed
                                 : data.latch == kLatchNone   ? kLookHot
                                                              : kLookNormal;
            const bool unchanged =
                data.pressSource != kNoPress ? data.look == kLookPressed : data.look == kLookHot;
            if (!unchanged) {
                data.look = look;
                Redraw(hwnd);
            }
        } else {
            if (GetCursor() == data.cursor) {
                SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            }
            if (data.look != kLookNormal) {
                data.look = kLookNormal;
                Redraw(hwnd);
            }
        }
    }
    return DefWindowProcA(hwnd, WM_MOUSEMOVE, wParam, lParam);
}

// Drops the hot look at the first tick that finds the cursor gone.
void OnTimer(RoundButtonData& data) {
    if (CursorInButton(data.hwnd)) {
        return;
    }
    KillTimer(data.hwnd, static_cast<UINT_PTR>(data.id));
    data.hoverTimer = 0;
    data.look = kLookNormal;
    Redraw(data.hwnd);
}

HANDLE* ImageSlot(RoundButtonData& data, UINT message) {
    switch (message) {
    case RBM_LOADIMAGE: return &data.image;
    case RBM_LOADHOTIMAGE: return &data.hotImage;
    case RBM_LOADPRESSEDIMAGE: return &data.pressedImage;
    default: return &data.disabledImage;
    }
}

void LoadImageByName(RoundButtonData& data, UINT message, WPARAM imageType, LPARAM name) {
    HANDLE* slot = ImageSlot(data, message);
    const bool normalImage = message == RBM_LOADIMAGE;
    const bool owned = !normalImage || data.imageBorrowed == 0;
    if (owned) {
        // Released with the type it was loaded as, before the type changes.
        DeleteImage(*slot, data.imageType);
    }
    *slot = nullptr;
    if (name == 0) {
        return;
    }
    const char* imageName = reinterpret_cast<const char*>(name);
    data.imageType = static_cast<int32_t>(imageType);
    UINT flags = LR_LOADMAP3DCOLORS;
    if (std::strchr(imageName, '.') != nullptr) {
        flags |= LR_LOADFROMFILE;
    }
    *slot = LoadImageA(data.instance, imageName, static_cast<UINT>(imageType), 0, 0, flags);
    if (normalImage) {
        data.imageBorrowed = 0;
        const int32_t size = *slot != nullptr ? ScaledForWindow(data.hwnd, kDefaultImageSide) : 0;
        data.imageWidth = size;
        data.imageHeight = size;
    }
}

LRESULT OnSetImage(RoundButtonData& data, WPARAM imageType, LPARAM image) {
    HANDLE previous = data.image;
    data.imageType = static_cast<int32_t>(imageType);
    data.image = reinterpret_cast<HANDLE>(image);
    data.imageBorrowed = 1;
    const int32_t size = image != 0 ? ScaledForWindow(data.hwnd, kDefaultImageSide) : 0;
    data.imageWidth = size;
    data.imageHeight = size;
    return reinterpret_cast<LRESULT>(previous);
}

// The value of a query message, or false when `message` is none.
bool QueryField(const RoundButtonData& data, UINT message, LRESULT& value) {
    switch (message) {
    case RBM_GETCORNER: value = data.cornerDiameter; return true;
    case RBM_GETFACECOLOR: value = data.faceColor; return true;
    case RBM_GETFACEBRUSH: value = reinterpret_cast<LRESULT>(data.faceBrush); return true;
    case RBM_GETTEXTBKMODE: value = data.textBkMode; return true;
    case RBM_GETTEXTBKCOLOR: value = data.textBkColor; return true;
    case RBM_GETTEXTCOLOR: value = data.textColor; return true;
    case RBM_GETPRESSEDTEXTCOLOR: value = data.pressedTextColor; return true;
    case RBM_GETHOTTEXTCOLOR: value = data.hotTextColor; return true;
    case RBM_GETEMBOSS: value = data.embossText; return true;
    case RBM_GETRAISED: value = data.raised; return true;
    case RBM_GETLATCH: value = data.latch; return true;
    case RBM_GETINTERACTIVE: value = data.interactive; return true;
    case RBM_GETSYSTEMCOLORS: value = data.systemColors; return true;
    case RBM_GETTEXTFORMAT: value = data.textFormat; return true;
    case RBM_GETTEXTMARGINLEFT: value = data.textMarginLeft; return true;
    case RBM_GETTEXTMARGINTOP: value = data.textMarginTop; return true;
    case RBM_GETTEXTMARGINRIGHT: value = data.textMarginRight; return true;
    case RBM_GETTEXTMARGINBOTTOM: value = data.textMarginBottom; return true;
    case RBM_GETIMAGEPOS: value = data.imagePlacement; return true;
    case RBM_GETIMAGEWIDTH: value = data.imageWidth; return true;
    case RBM_GETIMAGEHEIGHT: value = data.imageHeight; return true;
    case RBM_GETIMAGEMARGINLEFT: value = data.imageMarginLeft; return true;
    case RBM_GETIMAGEMARGINTOP: value = data.imageMarginTop; return true;
    case RBM_GETIMAGEMARGINRIGHT: value = data.imageMarginRight; return true;
    case RBM_GETIMAGEMARGINBOTTOM: value = data.imageMarginBottom; return true;
    default: return false;
    }
}

// The field a plain "store wParam, redraw if lParam" message sets, or null.
int32_t* RedrawingField(RoundButtonData& data, UINT message) {
    switch (message) {
    case RBM_SETTEXTBKMODE: return &data.textBkMode;
    case RBM_SETEMBOSS: return &data.embossText;
    case RBM_SETINTERACTIVE: return &data.interactive;
    case RBM_SETTEXTMARGINLEFT: return &data.textMarginLeft;
    case RBM_SETTEXTMARGINTOP: return &data.textMarginTop;
    case RBM_SETTEXTMARGINRIGHT: return &data.textMarginRight;
    case RBM_SETTEXTMARGINBOTTOM: return &data.textMarginBottom;
    case RBM_SETIMAGEMARGINLEFT: return &data.imageMarginLeft;
    case RBM_SETIMAGEMARGINTOP: return &data.imageMarginTop;
    case RBM_SETIMAGEMARGINRIGHT: return &data.imageMarginRight;
    case RBM_SETIMAGEMARGINBOTTOM: return &data.imageMarginBottom;
    default: return nullptr;
    }
}

COLORREF* RedrawingColor(RoundButtonData& data, UINT message) {
    switch (message) {
    case RBM_SETTEXTBKCOLOR: return &data.textBkColor;
    case RBM_SETTEXTCOLOR: return &data.textColor;
    case RBM_SETPRESSEDTEXTCOLOR: return &data.pressedTextColor;
    case RBM_SETHOTTEXTCOLOR: return &data.hotTextColor;
    default: return nullptr;
    }
}

// The control messages that do more than store a value; false for any other
// message.
bool HandleControlMessage(RoundButtonData& data, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto value = static_cast<int32_t>(wParam);
    switch (message) {
    case RBM_SETCORNER:
        data.cornerDiameter = value < 0 ? 0 : value;
        RebuildRegion(data);
        break;
    case RBM_SETFACECOLOR:
        data.faceColor = static_cast<COLORREF>(wParam);
        UpdateButtonColors(data.hwnd);
        break;
    case RBM_SETRAISED: data.raised = wParam != 0 ? 1 : 0; break;
    case RBM_SETSYSTEMCOLORS: data.systemColors = wParam != 0 ? 1 : 0; break;
    case RBM_SETLATCH:
        data.latch = value;
        if (value != kLatchNone) {
            data.interactive = 0;
        }
        data.look = value != kLatchNone ? value - 1 : kLookNormal;
        break;
    case RBM_SETCURSOR:
        data.cursor = lParam != 0 ? reinterpret_cast<HCURSOR>(lParam)
                                  : LoadCursorA(nullptr, MAKEINTRESOURCEA(wParam));
        return true;
    case RBM_REDRAW: Redraw(data.hwnd); return true;
    case RBM_SETTEXTFORMAT: data.textFormat = static_cast<UINT>(wParam); break;
    case RBM_SETIMAGEPOS:
        if (value < 0) {
            data.imagePlacement = value;
        } else {
            data.imagePlacement = 0;
            data.imageX = value;
            data.imageY = static_cast<int32_t>(lParam);
        }
        return true;
    case RBM_SETIMAGESIZE:
        data.imageWidth = value;
        data.imageHeight = static_cast<int32_t>(lParam);
        return true;
    case RBM_SETIMAGENOSHIFT: data.imageNoShift = value; return true;
    case RBM_LOADIMAGE:
    case RBM_LOADHOTIMAGE:
    case RBM_LOADPRESSEDIMAGE:
    case RBM_LOADDISABLEDIMAGE: LoadImageByName(data, message, wParam, lParam); return true;
    default:
        if (int32_t* field = RedrawingField(data, message)) {
            *field = value;
        } else if (COLORREF* color = RedrawingColor(data, message)) {
            *color = static_cast<COLORREF>(wParam);
        } else {
            return false;
        }
        break;
    }
    RedrawIf(data.hwnd, lParam);
    return true;
}

} // namespace

HWND CreateRoundButton(HWND parent, int id, const char* caption, int x, int y, int width,
                       int height, DWORD style, DWORD exStyle, int inDialogUnits) {
    // The class is looked up, registered and used under the parent's module,
    // so that one registration serves every later control.
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExA(instance, kRoundButtonClass, &existing)) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = RoundButtonProc;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kRoundButtonClass;
        RegisterClassExA(&windowClass);
    }
    const auto childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    if (inDialogUnits != 0) {
        RECT bounds{x, y, x + width, y + height};
        MapDialogRect(parent, &bounds);
        CreateWindowExA(exStyle, kRoundButtonClass, caption, style, bounds.left, bounds.top,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, parent, childId,
                        instance, nullptr);
        return GetDlgItem(parent, id);
    }
    return CreateWindowExA(exStyle, kRoundButtonClass, caption, style, x, y, width, height, parent,
                           childId, instance, nullptr);
}

LRESULT CALLBACK RoundButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return OnCreate(hwnd);
    }
    RoundButtonData* data = ButtonData(hwnd);
    if (data == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY: OnDestroy(data); return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
        // Lets a rounded button that holds another pass the child's clicks up.
        SendMessageA(data->parent, message, wParam, lParam);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_ENABLE: Redraw(hwnd); return 0;
    case WM_SETFOCUS: OnSetFocus(hwnd, *data); return 0;
    case WM_KILLFOCUS:
        data->look = kLookNormal;
        data->pressSource = kNoPress;
        Redraw(hwnd);
        return 0;
    case WM_GETDLGCODE: return OnGetDlgCode(*data, hwnd, wParam, lParam);
    case WM_UPDATEUISTATE: OnUpdateUiState(hwnd, *data, wParam); break;
    case WM_QUERYUISTATE: return data->uiState;
    case WM_SYSCOLORCHANGE: OnSysColorChange(hwnd); break;
    case WM_KEYDOWN: OnKeyDown(hwnd, *data, wParam, lParam); break;
    case WM_KEYUP: OnKeyUp(hwnd, *data); break;
    case WM_LBUTTONDBLCLK: SendMessageA(hwnd, WM_LBUTTONDOWN, wParam, lParam); return 0;
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, wParam, lParam);
    case WM_LBUTTONUP: OnButtonUp(hwnd); return 0;
    case WM_MOUSEMOVE: return OnMouseMove(*data, hwnd, wParam, lParam);
    case WM_TIMER: OnTimer(*data); break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintRoundButton(hwnd); return 0;
    case WM_SETFONT:
        if (wParam != 0) {
            data->font = reinterpret_cast<HFONT>(wParam);
            if (lParam != 0 && IsWindowVisible(hwnd)) {
                Redraw(hwnd);
            }
        }
        break;
    case WM_SIZE: RebuildRegion(*data); return 0;
    case BM_SETIMAGE: return OnSetImage(*data, wParam, lParam);
    default: {
        LRESULT value = 0;
        if (QueryField(*data, message, value)) {
            return value;
        }
        if (HandleControlMessage(*data, message, wParam, lParam)) {
            return 0;
        }
        break;
    }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
