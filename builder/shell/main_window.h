// The program's one window: both jobs, building a forum base and merging
// two bases, in two group boxes of a fixed-size dialog.
#pragma once

#include "builder/shell/main_window_state.h"

#include <windows.h>

struct LayerDialog;

// Creates the main window with its controls, hidden, as the window of
// `state`, and keeps its handle and icon there. The window reaches `state`
// through MainWindowOf from then on; `layer` and `state` must outlive its
// run.
HWND CreateMainWindow(LayerDialog& layer, MainWindowState& state);

// The state of the main window `window`.
MainWindowState& MainWindowOf(HWND window);

// The window's callback: settings on creation, on destruction and at the
// end of the Windows session, one operation per button.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
