#include "builder/shell/dialog_layer.h"

#include "builder/rrbutton/round_button_messages.h"
#include "builder/rrbutton/win32/screen_metrics.h"

#include <cstring>
#include <vector>

namespace {

constexpr wchar_t kDialogFontName[] = L"MS Sans Serif";
constexpr WORD kDialogFontPoints = 8;

void AppendWideText(std::vector<WORD>& words, const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    }
    words.insert(words.end(), wide.begin(), wide.end());
}

// DLGTEMPLATE without controls: header, no menu, default class, title and
// (with DS_SETFONT) the dialog font.
std::vector<WORD> DialogTemplate(const DialogFrame& frame) {
    DLGTEMPLATE header{};
    header.style = (frame.style & ~WS_VISIBLE) | DS_SETFONT;
    header.dwExtendedStyle = frame.exStyle;
    header.cdit = 0;
    header.x = frame.x;
    header.y = frame.y;
    header.cx = frame.width;
    header.cy = frame.height;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0); // menu
    words.push_back(0); // class
    AppendWideText(words, frame.title);
    words.push_back(kDialogFontPoints);
    words.insert(words.end(), std::begin(kDialogFontName), std::end(kDialogFontName));
    return words;
}

LayerDialog* DialogOf(HWND window) {
    return reinterpret_cast<LayerDialog*>(GetWindowLongPtrA(window, DWLP_USER));
}

BOOL CALLBACK UpdateUiStateOf(HWND control, LPARAM change) {
    SendMessageA(control, WM_UPDATEUISTATE, static_cast<WPARAM>(change), 0);
    return TRUE;
}

// Shows or hides the keyboard cues of the dialog and of every control in
// it, nested ones too: the message goes to each window itself, since the
// system does not pass it down everywhere.
void ShowKeyboardCues(LayerDialog& dialog, bool show) {
    dialog.keyboardCues = show;
    const WPARAM change = MAKEWPARAM(show ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    SendMessageA(dialog.window, WM_UPDATEUISTATE, change, 0);
    EnumChildWindows(dialog.window, UpdateUiStateOf, static_cast<LPARAM>(change));
}

bool KeyboardCuesAlwaysShown() {
    BOOL always = FALSE;
    return SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0) != FALSE && always != FALSE;
}

bool MovesTheFocusByKeyboard(const MSG& message) {
    if (message.message == WM_SYSKEYDOWN) {
        return true; // Alt, as for a menu or an access key
    }
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return false;
    }
}

BOOL CALLBACK FollowContrastOf(HWND control, LPARAM highContrast) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    if (std::strcmp(className, kRoundButtonClass) == 0) {
        SendMessageA(control, RBM_SETSYSTEMCOLORS, static_cast<WPARAM>(highContrast), 0);
    }
    return TRUE;
}

// A high-contrast scheme switched on or off, or new system colours: the
// rounded buttons are told, and everything is painted anew, the
// callback's own colours included.
void FollowSystemColors(HWND window) {
    EnumChildWindows(window, FollowContrastOf, HighContrastOn() ? 1 : 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

INT_PTR LayerDefault(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_CLOSE: EndLayerDialog(window, 0); return TRUE;
    case WM_COMMAND:
        // Enter and Esc have no default action.
        return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
    default: return FALSE;
    }
}

INT_PTR CALLBACK LayerDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        // Wakes a modal loop that waits for messages, so that it sees its
        // dialog gone however the window ended.
        PostMessageA(nullptr, WM_NULL, 0, 0);
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        // Held back from the callback until the controls are added.
        auto* dialog = reinterpret_cast<LayerDialog*>(lParam);
        dialog->window = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;
    }
    LayerDialog* dialog = DialogOf(window);
    if (dialog == nullptr) {
        return FALSE;
    }
    // Destroyed from outside too (its owner went first): ending it then must
    // not destroy it a second time.
    if (message == WM_DESTROY) {
        dialog->destroyed = true;
    }
    if (message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE) {
        FollowSystemColors(window);
    }
    if (const INT_PTR handled = dialog->callback(window, message, wParam, lParam)) {
        return handled;
    }
    return LayerDefault(window, message, wParam);
}

// The layer's record of `window` when it is one of the layer's own dialogs
// (not a message box or a picker); null otherwise.
LayerDialog* LayerDialogOf(HWND window) {
    const bool own =
        GetWindowLongPtrA(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(LayerDialogProc);
    return own ? DialogOf(window) : nullptr;
}

// Hands `message` to the dialog layer's keyboard handling when it is meant
// for the active dialog of this thread; false when it is not.
bool HandleDialogMessage(MSG& message) {
    const HWND active = GetActiveWindow();
    if (active == nullptr || !IsWindow(active)) {
        return false;
    }
    char className[16] = {};
    GetClassNameA(active, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0) {
        return false;
    }
    // The layer's own dialogs show their cues from the first key that
    // moves the focus.
    LayerDialog* dialog = LayerDialogOf(active);
    if (dialog != nullptr && !dialog->keyboardCues && MovesTheFocusByKeyboard(message)) {
        ShowKeyboardCues(*dialog, true);
    }
    return IsDialogMessageA(active, &message) != FALSE;
}

} // namespace

HWND CreateLayerDialog(LayerDialog& dialog, HWND owner, const DialogFrame& frame) {
    const std::vector<WORD> words = DialogTemplate(frame);
    dialog.owner = owner;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), owner,
                                      LayerDialogProc, reinterpret_cast<LPARAM>(&dialog));
}

HWND AddDialogControl(HWND dialogWindow, const DialogControl& control) {
    RECT rect{control.x, control.y, control.x + control.width, control.y + control.height};
    MapDialogRect(dialogWindow, &rect);
    const HWND window =
        CreateWindowExA(control.exStyle, control.className, control.text, control.style, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, dialogWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(window, WM_SETFONT, SendMessageA(dialogWindow, WM_GETFONT, 0, 0), 0);
    return window;
}

INT_PTR RunLayerDialog(LayerDialog& dialog) {
    const HWND window = dialog.window;
    if (window == nullptr) {
        return 0;
    }
    if (dialog.owner != nullptr) {
        EnableWindow(dialog.owner, FALSE);
    }
    dialog.callback(window, WM_INITDIALOG, 0, 0);
    const LayerDialog* owner = dialog.owner != nullptr ? LayerDialogOf(dialog.owner) : nullptr;
    if (IsWindow(window)) {
        ShowKeyboardCues(dialog,
                         KeyboardCuesAlwaysShown() || (owner != nullptr && owner->keyboardCues));
    }
    if (IsWindow(window)) {
        ShowWindow(window, SW_SHOW);
    }
    // One message at a time; with none pending the thread sleeps until the
    // next one arrives, so an idle dialog takes no processor time.
    while (IsWindow(window)) {
        if (!DispatchPendingMessage()) {
            WaitMessage();
        }
    }
    if (dialog.owner != nullptr) {
        SetActiveWindow(dialog.owner);
    }
    return dialog.result;
}

void* LayerStateOf(HWND dialogWindow) {
    const LayerDialog* dialog = DialogOf(dialogWindow);
    return dialog != nullptr ? dialog->state : nullptr;
}

std::string ControlText(HWND dialogWindow, int id) {
    const HWND control = GetDlgItem(dialogWindow, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void EndLayerDialog(HWND dialogWindow, INT_PTR result) {
    LayerDialog* dialog = DialogOf(dialogWindow);
    if (dialog == nullptr || dialog->ending) {
        return;
    }
    dialog->ending = true;
    dialog->result = result;
    // The owner first, so that the system hands activation back to it
    // rather than to another program's window.
    if (dialog->owner != nullptr) {
        EnableWindow(dialog->owner, TRUE);
    }
    if (!dialog->destroyed) {
        DestroyWindow(dialogWindow);
    }
}

bool DispatchPendingMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (!HandleDialogMessage(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}
