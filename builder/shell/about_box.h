// The about box: the program's title with its icon, a credit line, the
// usage note and a close button.
#pragma once

#include <windows.h>

// Builds the about box owned by `owner`, runs it modally and returns its
// end code, 0.
INT_PTR ShowAboutBox(HWND owner);

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
