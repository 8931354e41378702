// The RRBUTTON control: the program's owner-drawn push button with rounded
// corners, used for every button and banner of its windows. Configure it
// with the messages of round_button_messages.h.
#pragma once

#include <windows.h>

#include "builder/rrbutton/round_button_messages.h"

// Creates a rounded button as a child of `parent`, registering the class on
// first use. With inDialogUnits nonzero the parent is a dialog and the
// rectangle is in its dialog units; otherwise it is in pixels. Returns the
// control's window, or 0 on failure.
HWND CreateRoundButton(HWND parent, int id, const char* caption, int x, int y, int width,
                       int height, DWORD style, DWORD exStyle, int inDialogUnits);

LRESULT CALLBACK RoundButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
