// The about box: the program's title with its icon, a credit line, the
// usage note and a close button.
#pragma once

#include "builder/shell/main_window_state.h"

#include <windows.h>

// Builds the about box owned by the main window, with its title, icon and
// about text, runs it modally and returns its end code, 0.
INT_PTR ShowAboutBox(const MainWindowState& state);

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
