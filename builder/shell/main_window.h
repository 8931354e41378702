// The program's one window: both jobs, building a forum base and merging
// two bases, in two group boxes of a fixed-size dialog.
#pragma once

#include <windows.h>

// Creates the main window with its controls, hidden, and keeps its handle
// in gMainWindow; `layer` must outlive the window's run.
struct LayerDialog;
HWND CreateMainWindow(LayerDialog& layer);

// The window's callback: settings on creation and destruction, one
// operation per button.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
