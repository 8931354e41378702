// The dialog layer shared by the main window and the about box: a dialog
// built from an in-memory template, its controls added one by one in dialog
// units, then run modally by a loop of our own.
//
// The callback sees every message first; when it returns 0 the layer's own
// handling follows: the system close command ends the dialog with result 0,
// and IDOK / IDCANCEL (Enter, Esc) do nothing. WM_INITDIALOG reaches the
// callback when the dialog is run, so that its controls exist by then.
//
// Keyboard cues follow the Windows convention, kept by the layer itself
// since not every system keeps them: a dialog starts with its focus cue
// hidden (unless the user has them always shown, or its owner shows them)
// and shows it from the first key that moves the focus (Tab, an arrow,
// Alt). A change of the system colours or settings reaches every rounded
// button, so that a high-contrast scheme is followed at once.
#pragma once

#include <windows.h>

#include <string>

// The frame both of the program's dialogs have: a captioned, modal-looking
// popup that tabs into its controls.
constexpr DWORD kLayerDialogStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION |
                                    DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
constexpr DWORD kLayerDialogExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

struct DialogFrame {
    const char* title;
    DWORD style; // shown when run, whatever WS_VISIBLE says
    DWORD exStyle;
    short x, y, width, height; // dialog units
};

// One dialog's life; lives on the caller's stack from creation to the end
// of the run.
struct LayerDialog {
    DLGPROC callback;
    void* state = nullptr; // the dialog's own record, for its callback
    HWND owner = nullptr;
    HWND window = nullptr;
    INT_PTR result = 0;
    bool ending = false;
    bool destroyed = false;    // WM_DESTROY has arrived
    bool keyboardCues = false; // the focused control shows where it is
};

// Creates the (hidden) dialog window; 0 on failure.
HWND CreateLayerDialog(LayerDialog& dialog, HWND owner, const DialogFrame& frame);

// One control of a standard class, placed in the dialog's units.
struct DialogControl {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD style;
    DWORD exStyle;
};

// Adds `control` to the dialog, with the dialog's font.
HWND AddDialogControl(HWND dialogWindow, const DialogControl& control);

// Shows the dialog and runs it until its window is gone; the owner is
// disabled meanwhile. Returns the end code.
INT_PTR RunLayerDialog(LayerDialog& dialog);

// Ends the dialog with `result`: gives the owner back its input and
// destroys the window.
void EndLayerDialog(HWND dialogWindow, INT_PTR result);

// The `state` of the dialog whose window is `dialogWindow`; null before the
// dialog is initialised.
void* LayerStateOf(HWND dialogWindow);

// The window text of control `id` of `dialogWindow`, whole.
std::string ControlText(HWND dialogWindow, int id);

// Handles at most one pending message of this thread, through the active
// dialog's keyboard handling when it is meant for that dialog; false when
// no message was pending.
bool DispatchPendingMessage();
